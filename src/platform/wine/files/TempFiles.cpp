#include "platform/wine/files/TempFiles.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/wine/files/FileOperations.h"
#include "platform/wine/files/HostErrors.h"
#include "platform/wine/paths/FolderNameCache.h"
#include "platform/wine/paths/PathMapping.h"
#include "platform/wine/paths/WindowsPath.h"
#include "platform/wine/text/Codepage.h"

namespace parvane::wine {

namespace {

bool IsFolder(const std::filesystem::path& prefix, const std::string& path) {
    std::uint32_t attributes = 0;
    return GetAttributes(prefix, path, attributes) == ERR_SUCCESS &&
           (attributes & ATTR_DIRECTORY) != 0;
}

// Creates every missing folder along `path`.
Win32Error MakeFolderPath(const std::filesystem::path& prefix, const std::string& path) {
    WindowsPath parsed;
    Win32Error error = ParseWindowsPath(path, parsed);
    std::string partial{parsed.drive, ':'};
    for (const std::string& component : parsed.components) {
        if (error != ERR_SUCCESS) {
            break;
        }
        partial += '\\' + component;
        error = MakeFolder(prefix, partial);
        if (error == ERR_ALREADY_EXISTS) {
            error = IsFolder(prefix, partial) ? ERR_SUCCESS : ERR_PATH_NOT_FOUND;
        }
    }
    return error;
}

std::uint32_t StartingNumber() {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<std::uint32_t>(ticks) & 0xFFFF;
}

}  // namespace

Win32Error UserProfileFolder(std::string& folder) {
    std::string user;
    if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_name != nullptr) {
        user = entry->pw_name;
    } else if (const char* variable = std::getenv("USER"); variable != nullptr) {
        user = variable;
    }
    std::string name;
    if (user.empty() || !Utf8ToCp1252(user, name)) {
        return ERR_NO_UNICODE_TRANSLATION;
    }
    folder = "C:\\users\\" + name;
    return ERR_SUCCESS;
}

Win32Error TempPath(const std::filesystem::path& prefix, const std::string& configured,
                    std::string& folder) {
    folder.clear();
    std::string profile;
    const Win32Error error = UserProfileFolder(profile);
    if (error != ERR_SUCCESS && configured.empty()) {
        return error;
    }
    std::vector<std::string> candidates;
    if (!configured.empty()) {
        candidates.push_back(configured);
    }
    if (error == ERR_SUCCESS) {
        candidates.push_back(profile + "\\AppData\\Local\\Temp");
        candidates.push_back(profile + "\\Temp");
    }
    std::string chosen = candidates.front();
    for (const std::string& candidate : candidates) {
        if (IsFolder(prefix, candidate)) {
            chosen = candidate;
            break;
        }
    }
    const Win32Error made = MakeFolderPath(prefix, chosen);
    if (made != ERR_SUCCESS) {
        return made;
    }
    folder = chosen;
    if (!IsSeparator(folder.back())) {
        folder += '\\';
    }
    return ERR_SUCCESS;
}

Win32Error UniqueTempFile(const std::filesystem::path& prefix, const std::string& folder,
                          const std::string& namePrefix, std::string& path) {
    path.clear();
    if (!IsFolder(prefix, folder)) {
        return ERR_DIRECTORY;  // as GetTempFileNameA answers for a missing folder
    }
    std::string stem = folder;
    if (!IsSeparator(stem.back())) {
        stem += '\\';
    }
    stem += namePrefix.substr(0, 3);
    const std::uint32_t start = StartingNumber();
    for (std::uint32_t step = 0; step < 0x10000; ++step) {
        const std::uint32_t number = (start + step) & 0xFFFF;
        if (number == 0) {
            continue;
        }
        char hex[8];
        std::snprintf(hex, sizeof hex, "%X", number);
        const std::string candidate = stem + hex + ".tmp";
        HostPath host;
        Win32Error error = ResolveWindowsPath(prefix, candidate, host);
        if (error != ERR_SUCCESS) {
            return error;
        }
        if (host.Exists()) {
            continue;  // under another case, too
        }
        ForgetFolderOf(host.path);
        const int file = open(host.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file >= 0) {
            close(file);
            path = candidate;
            return ERR_SUCCESS;
        }
        if (errno != EEXIST) {
            return Win32ErrorFromErrno(errno, host.path);
        }
    }
    return ERR_FILE_EXISTS;
}

}  // namespace parvane::wine
