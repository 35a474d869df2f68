#include "platform/wine/PathMapping.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <system_error>

#include "platform/wine/Codepage.h"
#include "platform/wine/NameCompare.h"

namespace parvane::wine {

namespace {

struct Drive {
    char letter = 0;
    dev_t device = 0;
    ino_t inode = 0;
};

std::filesystem::path DriveFolder(const std::filesystem::path& prefix, char drive) {
    const char lower = static_cast<char>(drive - 'A' + 'a');
    return prefix / "dosdevices" / std::string{lower, ':'};
}

// The drives of the prefix whose folders exist, in letter order.
std::vector<Drive> ListDrives(const std::filesystem::path& prefix) {
    std::vector<Drive> drives;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        struct stat status {};
        if (stat(DriveFolder(prefix, letter).c_str(), &status) == 0) {
            drives.push_back({letter, status.st_dev, status.st_ino});
        }
    }
    return drives;
}

std::optional<char> DriveOfFolder(const std::vector<Drive>& drives, const std::string& folder) {
    struct stat status {};
    if (stat(folder.c_str(), &status) != 0) {
        return std::nullopt;
    }
    for (const Drive& drive : drives) {
        if (drive.device == status.st_dev && drive.inode == status.st_ino) {
            return drive.letter;
        }
    }
    return std::nullopt;
}

// Makes a relative Windows path absolute against the current folder, as Windows does.
Win32Error AbsoluteWindowsPath(const std::filesystem::path& prefix, const std::string& path,
                               std::string& absolute) {
    if (IsAbsoluteWindowsPath(path)) {
        absolute = path;
        return ERR_SUCCESS;
    }
    if (path.empty()) {
        return ERR_PATH_NOT_FOUND;
    }
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        return ERR_BAD_PATHNAME;  // a network path: no such thing in a prefix
    }
    if (path.size() >= 2 && path[1] == ':') {  // "C:name": relative to that drive's root
        absolute = path.substr(0, 2) + "\\" + path.substr(2);
        return ERR_SUCCESS;
    }
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    if (error) {
        return ERR_PATH_NOT_FOUND;
    }
    std::string currentFolder;
    const Win32Error status = WindowsPathOfHostPath(prefix, current, currentFolder);
    if (status != ERR_SUCCESS) {
        return status;
    }
    if (IsSeparator(path[0])) {
        absolute = currentFolder.substr(0, 2) + path;
    } else {
        absolute = currentFolder + "\\" + path;
    }
    return ERR_SUCCESS;
}

// Finds `name` in `folder`: the exact spelling first, then ignoring case. On success `hostName`
// and `diskName` hold the spelling on disk (UTF-8 and code page 1252). A name that cannot be
// checked (no permission) counts as present, so that the operation reports the denial.
bool LocateName(const std::filesystem::path& folder, const std::string& name, std::string& hostName,
                std::string& diskName) {
    struct stat status {};
    if (lstat((folder / hostName).c_str(), &status) == 0) {
        return true;
    }
    const int error = errno;
    if (error == EACCES) {
        return true;
    }
    std::string found;
    if (error != ENOENT || !FindNameIgnoringCase(folder, name, found)) {
        return false;
    }
    hostName = found;
    return Utf8ToCp1252(found, diskName);
}

}  // namespace

Win32Error NotFoundError(const HostPath& host) {
    return host.missingComponents <= 1 ? ERR_FILE_NOT_FOUND : ERR_PATH_NOT_FOUND;
}

bool FindNameIgnoringCase(const std::filesystem::path& folder, const std::string& name,
                          std::string& hostName) {
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr) {
        return false;
    }
    bool found = false;
    std::string entryName;
    while (const dirent* entry = readdir(directory)) {
        const std::string_view candidate = entry->d_name;
        // A UTF-8 name is as long as its code page form or up to three times longer.
        if (candidate.size() < name.size() || candidate.size() > 3 * name.size() ||
            candidate == "." || candidate == ".." || !Utf8ToCp1252(candidate, entryName)) {
            continue;
        }
        if (NamesEqualIgnoringCase(entryName, name)) {
            hostName = candidate;
            found = true;
            break;
        }
    }
    closedir(directory);
    return found;
}

Win32Error ResolveWindowsPath(const std::filesystem::path& prefix, const std::string& windowsPath,
                              HostPath& host) {
    host = HostPath{};
    std::string absolute;
    Win32Error status = AbsoluteWindowsPath(prefix, windowsPath, absolute);
    if (status != ERR_SUCCESS) {
        return status;
    }
    WindowsPath parsed;
    status = ParseWindowsPath(absolute, parsed);
    if (status != ERR_SUCCESS) {
        return status;
    }
    std::filesystem::path current = DriveFolder(prefix, parsed.drive);
    struct stat driveStatus {};
    if (lstat(current.c_str(), &driveStatus) != 0) {
        return ERR_PATH_NOT_FOUND;
    }
    host.windows.drive = parsed.drive;
    host.windows.trailingSeparator = parsed.trailingSeparator;
    for (const std::string& name : parsed.components) {
        std::string hostName = Cp1252ToUtf8(name);
        std::string diskName = name;
        if (host.missingComponents > 0 || !LocateName(current, name, hostName, diskName)) {
            ++host.missingComponents;
        }
        current /= hostName;
        host.windows.components.push_back(diskName);
        host.askedLastName = Cp1252ToUtf8(name);
    }
    if (parsed.trailingSeparator) {
        current /= "";
    }
    host.path = current;
    return ERR_SUCCESS;
}

Win32Error WindowsPathOfHostPath(const std::filesystem::path& prefix,
                                 const std::filesystem::path& hostPath, std::string& windowsPath) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(hostPath, error).lexically_normal();
    if (error) {
        return ERR_PATH_NOT_FOUND;
    }
    if (!absolute.has_filename() && absolute.has_relative_path()) {
        absolute = absolute.parent_path();
    }
    const std::vector<Drive> drives = ListDrives(prefix);
    std::vector<std::string> rest;  // the names below the folder tried, innermost first
    for (std::filesystem::path folder = absolute;; folder = folder.parent_path()) {
        if (const std::optional<char> letter = DriveOfFolder(drives, folder.string())) {
            windowsPath = std::string{*letter, ':'};
            std::string name;
            for (auto it = rest.rbegin(); it != rest.rend(); ++it) {
                if (!Utf8ToCp1252(*it, name)) {
                    return ERR_NO_UNICODE_TRANSLATION;
                }
                windowsPath += '\\';
                windowsPath += name;
            }
            if (rest.empty()) {
                windowsPath += '\\';
            }
            return ERR_SUCCESS;
        }
        if (!folder.has_relative_path()) {
            return ERR_PATH_NOT_FOUND;
        }
        rest.push_back(folder.filename().string());
    }
}

}  // namespace parvane::wine
