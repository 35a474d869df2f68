#include "platform/wine/HostProcesses.h"

#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>

#include "platform/wine/Codepage.h"
#include "platform/wine/HostErrors.h"
#include "platform/wine/PathMapping.h"

namespace parvane::wine {

namespace {

bool IsProcessFolder(std::string_view name) {
    return !name.empty() && name.find_first_not_of("0123456789") == std::string_view::npos;
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

Win32Error ProcessImageNames(std::vector<std::string>& names) {
    names.clear();
    DIR* processes = opendir("/proc");
    if (processes == nullptr) {
        return Win32ErrorFromErrno(errno, "/proc");
    }
    while (const dirent* entry = readdir(processes)) {
        if (!IsProcessFolder(entry->d_name)) {
            continue;
        }
        // A process that ends meanwhile has no command line left: it is simply not listed.
        std::ifstream file(std::string("/proc/") + entry->d_name + "/cmdline", std::ios::binary);
        const std::string commandLine{std::istreambuf_iterator<char>(file),
                                      std::istreambuf_iterator<char>()};
        const std::string name = ImageNameFromCommandLine(commandLine);
        if (!name.empty()) {
            names.push_back(Utf8ToCp1252WithSubstitutes(name));
        }
    }
    closedir(processes);
    return ERR_SUCCESS;
}

}  // namespace parvane::wine
