#pragma once

// paths/ of the Wine backend, above text/: Windows paths and their parts (WindowsPath), the prefix
// folder (WinePrefix), the host path behind a Windows path (here) and the cache of folder
// listings that finds names ignoring case (FolderNameCache).
//
// Windows paths of a Wine prefix and the host paths behind them, mapped as Wine maps them: a
// drive letter is the symlink dosdevices/<x>: of the prefix, each name is looked up exactly and
// then ignoring case, and names are code page 1252 here and UTF-8 on the host.

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Win32Codes.h"
#include "platform/wine/paths/WindowsPath.h"

namespace parvane::wine {

struct HostPath {
    std::string path;                   // missing names keep the spelling asked for
    WindowsPath windows;                // the names found on disk spelled as on disk
    std::string askedLastName;          // the last name as asked, UTF-8
    std::size_t missingComponents = 0;  // trailing names that do not exist
    // The lstat of the last name (without a trailing separator), taken when the path was found
    // to exist; when false, the host could not tell (no permission), or the name went away.
    bool statusKnown = false;
    struct stat status {};
    bool Exists() const { return missingComponents == 0; }
    bool IsDriveRoot() const { return windows.components.empty(); }
};

// The status Windows gives for a path that does not exist: ERR_FILE_NOT_FOUND when only the
// last name is missing, ERR_PATH_NOT_FOUND when a folder on the way is.
Win32Error NotFoundError(const HostPath& host);

// The host path of `windowsPath`; a relative path is taken from the current folder. Fails for
// a path that is malformed, too long, a network path (ERR_BAD_PATHNAME), or names a drive the
// prefix does not have (ERR_PATH_NOT_FOUND).
Win32Error ResolveWindowsPath(const std::filesystem::path& prefix, const std::string& windowsPath,
                              HostPath& host);

// The Windows path of a host path, as `winepath -w` gives it: the drive whose folder holds the
// path (the deepest such folder), then the rest of the path. ERR_PATH_NOT_FOUND when no drive
// holds it, ERR_NO_UNICODE_TRANSLATION when a name does not fit code page 1252.
Win32Error WindowsPathOfHostPath(const std::filesystem::path& prefix,
                                 const std::filesystem::path& hostPath, std::string& windowsPath);

}  // namespace parvane::wine
