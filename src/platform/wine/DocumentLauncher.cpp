#include "platform/wine/DocumentLauncher.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/Win32Codes.h"
#include "platform/wine/PathMapping.h"

namespace parvane::wine {

namespace {

constexpr std::uint32_t EXEC_STARTED = 33;  // WinExec's answers are above 31 on success

std::string Unquoted(std::string text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

bool IsExistingFile(const std::filesystem::path& prefix, const std::string& path,
                    std::filesystem::path& hostPath) {
    HostPath host;
    struct stat status {};
    if (ResolveWindowsPath(prefix, path, host) != ERR_SUCCESS || !host.Exists() ||
        stat(host.path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    hostPath = host.path;
    return true;
}

// The host program of that name on $PATH, or empty.
std::string FindOnSearchPath(std::string_view program) {
    const char* variable = std::getenv("PATH");
    const std::string_view searchPath = variable != nullptr ? variable : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = searchPath.find(':', start);
        if (end == std::string_view::npos) {
            end = searchPath.size();
        }
        const std::string_view folder = searchPath.substr(start, end - start);
        const std::string candidate =
            std::string(folder.empty() ? "." : folder) + "/" + std::string(program);
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

// Starts `program document` detached from this process (no zombie is left behind); false when
// no process could be made.
bool StartDetached(const std::string& program, const std::string& document) {
    const char* const arguments[] = {program.c_str(), document.c_str(), nullptr};
    const pid_t child = fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        setsid();
        if (fork() == 0) {
            execv(program.c_str(), const_cast<char* const*>(arguments));
        }
        _exit(0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

}  // namespace

bool FindDocumentInCommand(const std::filesystem::path& prefix, const std::string& commandLine,
                           std::filesystem::path& document) {
    for (std::size_t blank = commandLine.find(' '); blank != std::string::npos;
         blank = commandLine.find(' ', blank + 1)) {
        const std::size_t start = commandLine.find_first_not_of(' ', blank);
        if (start == std::string::npos) {
            break;
        }
        if (IsExistingFile(prefix, Unquoted(commandLine.substr(start)), document)) {
            return true;
        }
    }
    return false;
}

std::uint32_t RunCommand(const std::filesystem::path& prefix, const std::string& commandLine) {
    std::filesystem::path document;
    if (!FindDocumentInCommand(prefix, commandLine, document)) {
        return ERR_FILE_NOT_FOUND;
    }
    const std::string opener = FindOnSearchPath("xdg-open");
    if (opener.empty() || !StartDetached(opener, document.string())) {
        return ERR_FILE_NOT_FOUND;
    }
    return EXEC_STARTED;
}

}  // namespace parvane::wine
