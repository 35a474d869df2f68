#include "platform/wine/processes/HostProcesses.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "platform/wine/files/HostErrors.h"
#include "platform/wine/files/ReadToEnd.h"
#include "platform/wine/paths/PathMapping.h"
#include "platform/wine/text/Codepage.h"

namespace parvane::wine {

namespace {

bool IsProcessFolder(std::string_view name) {
    return !name.empty() && name.find_first_not_of("0123456789") == std::string_view::npos;
}

// The whole of /proc/<pid>/<file>; empty when it cannot be read (the process ended, or
// belongs to another user). A desktop runs hundreds of processes, and every command of the
// program looks at each of them: a few large reads, not a stream.
std::string ReadProcessFile(const std::string& processFolder, const char* file) {
    std::string text;
    const int descriptor = open((processFolder + "/" + file).c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor >= 0) {
        if (!ReadToEnd(descriptor, text)) {
            text.clear();
        }
        close(descriptor);
    }
    return text;
}

// The value of `name` in a block of NUL-ended "NAME=value" texts, or none.
std::optional<std::string_view> EnvironmentValue(std::string_view environment,
                                                 std::string_view name) {
    while (!environment.empty()) {
        const std::string_view entry = environment.substr(0, environment.find('\0'));
        if (entry.size() > name.size() && entry.starts_with(name) && entry[name.size()] == '=') {
            return entry.substr(name.size() + 1);
        }
        environment.remove_prefix(std::min(environment.size(), entry.size() + 1));
    }
    return std::nullopt;
}

// The prefix folder a process with this environment uses, as Wine chooses it; a relative
// WINEPREFIX counts from the process's current folder. Empty when the environment names none.
std::filesystem::path PrefixOfEnvironment(const std::string& processFolder,
                                          std::string_view environment) {
    if (const auto prefix = EnvironmentValue(environment, "WINEPREFIX");
        prefix && !prefix->empty()) {
        const std::filesystem::path folder(*prefix);
        return folder.is_absolute() ? folder
                                    : std::filesystem::path(processFolder) / "cwd" / folder;
    }
    if (const auto home = EnvironmentValue(environment, "HOME"); home && !home->empty()) {
        return std::filesystem::path(*home) / ".wine";
    }
    return {};
}

bool IsSameFolder(const std::filesystem::path& folder, const struct stat& target) {
    struct stat status {};
    return !folder.empty() && stat(folder.c_str(), &status) == 0 &&
           status.st_dev == target.st_dev && status.st_ino == target.st_ino;
}

}  // namespace

Win32Error ModulePath(const std::filesystem::path& prefix, std::string& path) {
    path.clear();
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return Win32ErrorFromErrno(error.value(), "/proc/self/exe");
    }
    return WindowsPathOfHostPath(prefix, executable, path);
}

std::string ImageNameFromCommandLine(std::string_view commandLine) {
    const std::string_view program = commandLine.substr(0, commandLine.find('\0'));
    const std::size_t separator = program.find_last_of("\\/");
    std::string name(separator == std::string_view::npos ? program : program.substr(separator + 1));
    if (!name.empty() && name.find('.') == std::string::npos) {
        name += ".exe";
    }
    return name;
}

Win32Error ProcessImageNames(const std::filesystem::path& prefix, std::vector<std::string>& names) {
    names.clear();
    struct stat prefixStatus {};
    if (stat(prefix.c_str(), &prefixStatus) != 0) {
        return Win32ErrorFromErrno(errno, prefix);
    }
    DIR* processes = opendir("/proc");
    if (processes == nullptr) {
        return Win32ErrorFromErrno(errno, "/proc");
    }
    const std::string self = std::to_string(getpid());
    while (const dirent* entry = readdir(processes)) {
        if (!IsProcessFolder(entry->d_name)) {
            continue;
        }
        const std::string folder = std::string("/proc/") + entry->d_name;
        if (entry->d_name != self &&
            !IsSameFolder(PrefixOfEnvironment(folder, ReadProcessFile(folder, "environ")),
                          prefixStatus)) {
            continue;
        }
        // A process that ends meanwhile has no command line left: it is simply not listed.
        const std::string name = ImageNameFromCommandLine(ReadProcessFile(folder, "cmdline"));
        if (!name.empty()) {
            names.push_back(Utf8ToCp1252WithSubstitutes(name));
        }
    }
    closedir(processes);
    return ERR_SUCCESS;
}

}  // namespace parvane::wine
