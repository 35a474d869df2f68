#include "platform/wine/registry/HiveFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/wine/files/AtomicReplace.h"
#include "platform/wine/files/ReadToEnd.h"
#include "platform/wine/registry/RegistryParser.h"
#include "platform/wine/registry/RegistryWriter.h"

namespace parvane::wine {

namespace {

std::string SystemErrorText(int error) {
    return std::strerror(error);
}

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::filesystem::path ResolveLinks(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        std::filesystem::path target = std::filesystem::canonical(path, error);
        if (!error) {
            return target;
        }
    }
    return path;
}

}  // namespace

bool ReadHiveFile(const std::filesystem::path& path, HiveTree& hive, std::string& errorMessage) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        errorMessage =
            "Cannot read the registry file " + path.string() + ": " + SystemErrorText(errno) + ".";
        return false;
    }
    std::string text;
    const bool read = ReadToEnd(fd, text);
    ::close(fd);
    if (!read) {
        errorMessage = "Cannot read the registry file " + path.string() + ".";
        return false;
    }
    ParseError error;
    if (!ParseHive(std::move(text), hive, error)) {
        errorMessage = "The registry file " + path.string() + " cannot be read at line " +
                       std::to_string(error.line) + ": " + error.reason + ".";
        return false;
    }
    return true;
}

bool WriteHiveFile(const std::filesystem::path& path, const HiveTree& hive,
                   std::string& errorMessage) {
    return ReplaceFileContent(path, FormatHive(hive), errorMessage);
}

bool ReplaceFileContent(const std::filesystem::path& path, std::string_view content,
                        std::string& errorMessage) {
    const std::filesystem::path target = ResolveLinks(path);
    const ReplaceResult result = ReplaceFileAtomically(target, [&](int descriptor) {
        struct stat original {};
        if (::stat(target.c_str(), &original) == 0) {
            ::fchmod(descriptor, original.st_mode & 07777);
        }
        return WriteAll(descriptor, content) ? 0 : errno;
    });
    if (result.failedStep == ReplaceStep::CreatingTemporary) {
        errorMessage = "Cannot create a temporary file beside the registry file " +
                       target.string() + ": " + SystemErrorText(result.error) + ".";
        return false;
    }
    if (!result.Replaced()) {
        errorMessage = "Cannot write the registry file " + target.string() + ": " +
                       SystemErrorText(result.error) + ".";
        return false;
    }
    return true;
}

}  // namespace parvane::wine
