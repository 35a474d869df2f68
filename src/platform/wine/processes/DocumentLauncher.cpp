#include "platform/wine/processes/DocumentLauncher.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/Win32Codes.h"
#include "platform/wine/paths/PathMapping.h"

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
        std::string candidate =
            std::string(folder.empty() ? "." : folder) + "/" + std::string(program);
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

// Whether the desktop names a web browser for a page: $BROWSER, or the handler xdg-mime gives
// for text/html. Without one, xdg-open would try program after program, each failing aloud.
bool HasHtmlViewer() {
    if (const char* browser = std::getenv("BROWSER"); browser != nullptr && *browser != '\0') {
        return true;
    }
    const std::string query = FindOnSearchPath("xdg-mime");
    if (query.empty() || query.find('\'') != std::string::npos) {
        return false;
    }
    // The query command holds no quote (checked above): the shell takes it as one word.
    // NOLINTNEXTLINE(bugprone-command-processor)
    FILE* answer = popen(("'" + query + "' query default text/html 2>/dev/null").c_str(), "r");
    if (answer == nullptr) {
        return false;
    }
    char first[2] = {};
    const bool named = std::fgets(first, sizeof first, answer) != nullptr && first[0] != '\n';
    while (std::fgetc(answer) != EOF) {
    }
    pclose(answer);
    return named;
}

// Starts `program document` detached from this process (no zombie is left behind), its output
// discarded (what a browser says on the terminal is not the program's); false when no process
// could be made.
bool StartDetached(const std::string& program, const std::string& document) {
    const char* const arguments[] = {program.c_str(), document.c_str(), nullptr};
    const pid_t child = fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        setsid();
        if (fork() == 0) {
            const int nowhere = open("/dev/null", O_RDWR);
            if (nowhere >= 0) {
                dup2(nowhere, STDIN_FILENO);
                dup2(nowhere, STDOUT_FILENO);
                dup2(nowhere, STDERR_FILENO);
            }
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
    if (opener.empty() || !HasHtmlViewer() || !StartDetached(opener, document.string())) {
        return ERR_FILE_NOT_FOUND;
    }
    return EXEC_STARTED;
}

}  // namespace parvane::wine
