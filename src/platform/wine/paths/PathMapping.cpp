#include "platform/wine/paths/PathMapping.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <system_error>

#include "platform/wine/paths/FolderNameCache.h"
#include "platform/wine/text/Codepage.h"

namespace parvane::wine {

namespace {

struct Drive {
    char letter = 0;
    dev_t device = 0;
    ino_t inode = 0;
};

std::string DriveFolder(const std::filesystem::path& prefix, char drive) {
    constexpr std::string_view DOSDEVICES = "/dosdevices/";
    std::string_view folder = prefix.native();
    if (!folder.empty() && folder.back() == '/') {
        folder.remove_suffix(1);
    }
    std::string driveFolder;
    driveFolder.reserve(folder.size() + DOSDEVICES.size() + 2);
    driveFolder.append(folder).append(DOSDEVICES);
    driveFolder += static_cast<char>(drive - 'A' + 'a');
    driveFolder += ':';
    return driveFolder;
}

enum class Located { Found, Missing, FolderGone };

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

// Finds `name` in the host folder `folder`: the exact spelling first, then ignoring case. When
// found, `hostName` and `diskName` hold the spelling on disk (UTF-8 and code page 1252).
// FolderGone when `folder` itself is missing or no folder.
Located LocateName(const std::string& folder, const std::string& name, std::string& hostName,
                   std::string& diskName) {
    int error = 0;
    switch (FindName(folder, name, hostName, error)) {
        case NameSearch::Found:
            return Utf8ToCp1252(hostName, diskName) ? Located::Found : Located::Missing;
        case NameSearch::Missing:
            return Located::Missing;
        case NameSearch::Unreadable:
            break;
    }
    if (error == ENOENT || error == ENOTDIR) {
        return Located::FolderGone;
    }
    // A folder that cannot be read may still be searched: ask for the exact spelling. A name
    // that cannot be checked (no permission) counts as present, so that the operation reports
    // the denial.
    hostName = Cp1252ToUtf8(name);
    diskName = name;
    struct stat status {};
    return lstat((folder + '/' + hostName).c_str(), &status) == 0 || errno == EACCES
               ? Located::Found
               : Located::Missing;
}

// The last name of a path, spelled as asked, is asked of the host first: that lstat is the one
// that confirms the whole path, and it spares reading the folder. Another spelling is looked
// for only when that one is missing.
Located LocateLastName(const std::string& folder, const std::string& name, std::string& hostName,
                       std::string& diskName, HostPath& host) {
    hostName = Cp1252ToUtf8(name);
    diskName = name;
    if (lstat((folder + '/' + hostName).c_str(), &host.status) == 0) {
        host.statusKnown = true;
        return Located::Found;
    }
    return LocateName(folder, name, hostName, diskName);
}

// One pass over the names of `parsed` below the drive's folder. False when something kept
// from an earlier reading of a folder proved out of date: a folder on the way, or the last
// name found, is gone.
bool ResolveNames(const std::string& driveFolder, const WindowsPath& parsed, HostPath& host) {
    host = HostPath{};
    host.windows.drive = parsed.drive;
    host.windows.trailingSeparator = parsed.trailingSeparator;
    const std::vector<std::string>& names = parsed.components;
    // The folder of the last name, as asked, below the drive's folder.
    std::string folderKey = driveFolder;
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        folderKey += '\\';
        folderKey += names[i];
    }
    std::string current = driveFolder;
    std::size_t next = 0;
    if (const ResolvedFolder* known = FindResolvedFolder(folderKey)) {
        current = known->hostPath;
        host.windows.components = known->diskNames;
        next = host.windows.components.size();
    }
    bool upToDate = true;
    std::string hostName;
    std::string diskName;
    for (; next < names.size(); ++next) {
        Located located = Located::Missing;
        if (host.Exists()) {
            located = next + 1 == names.size()
                          ? LocateLastName(current, names[next], hostName, diskName, host)
                          : LocateName(current, names[next], hostName, diskName);
        }
        upToDate = upToDate && located != Located::FolderGone;
        if (located != Located::Found) {
            ++host.missingComponents;
            hostName = Cp1252ToUtf8(names[next]);
            diskName = names[next];
        }
        current += '/';
        current += hostName;
        host.windows.components.push_back(diskName);
        if (next + 2 == names.size() && host.Exists()) {
            KeepResolvedFolder(folderKey, {current, host.windows.components});
        }
    }
    if (!parsed.components.empty()) {
        host.askedLastName = Cp1252ToUtf8(parsed.components.back());
    }
    if (host.Exists() && !host.statusKnown) {
        host.statusKnown = lstat(current.c_str(), &host.status) == 0;
        upToDate = upToDate && (host.statusKnown || (errno != ENOENT && errno != ENOTDIR));
    }
    if (parsed.trailingSeparator) {
        current += '/';
    }
    host.path = std::move(current);
    return upToDate;
}

// The last few paths found to exist: the program often asks for a path again at once (a file
// read, then its attributes taken; a folder listed for two patterns). Such a path needs one
// lstat to confirm it instead of a new lookup, while no kept folder has been dropped.
struct RecentPath {
    std::string prefix;
    std::string windowsPath;  // absolute, as asked
    HostPath host;
    std::uint64_t generation = 0;
    std::uint64_t lastUse = 0;  // the least recently used gives way to a new path
};

struct RecentPaths {
    std::array<RecentPath, 4> paths;
    std::uint64_t uses = 0;
};

RecentPaths& TheRecentPaths() {
    static RecentPaths recent;
    return recent;
}

bool FindRecentPath(const std::filesystem::path& prefix, const std::string& windowsPath,
                    HostPath& host) {
    RecentPaths& recent = TheRecentPaths();
    const std::uint64_t generation = KeptNamesGeneration();
    const auto found =
        std::find_if(recent.paths.begin(), recent.paths.end(), [&](const RecentPath& path) {
            return path.generation == generation && path.windowsPath == windowsPath &&
                   path.prefix == prefix.native();
        });
    if (found == recent.paths.end()) {
        return false;
    }
    found->lastUse = ++recent.uses;
    host = found->host;
    const std::string name =
        host.windows.trailingSeparator ? host.path.substr(0, host.path.size() - 1) : std::string();
    host.statusKnown = lstat(name.empty() ? host.path.c_str() : name.c_str(), &host.status) == 0;
    return host.statusKnown;
}

void KeepRecentPath(const std::filesystem::path& prefix, const std::string& windowsPath,
                    const HostPath& host) {
    RecentPaths& recent = TheRecentPaths();
    RecentPath& oldest = *std::min_element(
        recent.paths.begin(), recent.paths.end(),
        [](const RecentPath& a, const RecentPath& b) { return a.lastUse < b.lastUse; });
    oldest.prefix = prefix.native();
    oldest.windowsPath = windowsPath;
    oldest.host = host;
    oldest.generation = KeptNamesGeneration();
    oldest.lastUse = ++recent.uses;
}

}  // namespace

Win32Error NotFoundError(const HostPath& host) {
    return host.missingComponents <= 1 ? ERR_FILE_NOT_FOUND : ERR_PATH_NOT_FOUND;
}

Win32Error ResolveWindowsPath(const std::filesystem::path& prefix, const std::string& windowsPath,
                              HostPath& host) {
    const bool absolutePath = IsAbsoluteWindowsPath(windowsPath);
    if (absolutePath && FindRecentPath(prefix, windowsPath, host)) {
        return ERR_SUCCESS;
    }
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
    const std::string driveFolder = DriveFolder(prefix, parsed.drive);
    if (!ResolveNames(driveFolder, parsed, host)) {
        // The drive or a name kept from an earlier reading is gone: forget the folders along
        // the path and look again, now reading each of them.
        ForgetFoldersAlong(host.path);
        struct stat driveStatus {};
        if (lstat(driveFolder.c_str(), &driveStatus) != 0) {
            host = HostPath{};
            return ERR_PATH_NOT_FOUND;
        }
        ResolveNames(driveFolder, parsed, host);
    }
    if (absolutePath && host.Exists() && host.statusKnown) {
        KeepRecentPath(prefix, windowsPath, host);
    }
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
            std::reverse(rest.begin(), rest.end());
            for (const std::string& component : rest) {
                if (!Utf8ToCp1252(component, name)) {
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
