#include "platform/wine/HiveFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/wine/HostSync.h"
#include "platform/wine/RegistryParser.h"
#include "platform/wine/RegistryWriter.h"

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
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        errorMessage =
            "Cannot read the registry file " + path.string() + ": " + SystemErrorText(errno) + ".";
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    if (file.bad()) {
        errorMessage = "Cannot read the registry file " + path.string() + ".";
        return false;
    }
    ParseError error;
    if (!ParseHive(text, hive, error)) {
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
    std::string tempName = target.string() + ".XXXXXX";
    std::vector<char> tempPath(tempName.begin(), tempName.end());
    tempPath.push_back('\0');
    const int fd = ::mkstemp(tempPath.data());
    if (fd < 0) {
        errorMessage = "Cannot create a temporary file beside the registry file " +
                       target.string() + ": " + SystemErrorText(errno) + ".";
        return false;
    }
    struct stat original {};
    if (::stat(target.c_str(), &original) == 0) {
        ::fchmod(fd, original.st_mode & 07777);
    }
    const bool written = WriteAll(fd, content) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(tempPath.data(), target.c_str()) != 0) {
        const int failure = !written ? writeError : errno;
        ::unlink(tempPath.data());
        errorMessage = "Cannot write the registry file " + target.string() + ": " +
                       SystemErrorText(failure) + ".";
        return false;
    }
    SyncFolder(target.parent_path());
    return true;
}

}  // namespace parvane::wine
