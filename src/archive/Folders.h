#pragma once

// Folder operations over the machine: the folder part of a path, wildcard tests, folder
// creation and removal. Paths are passed on whole, except where noted.

#include <string>

namespace parvane {

// The Error box's text for a folder that cannot be made, with its path and error number.
inline constexpr const char* MAKE_FOLDER_FAILED_MESSAGE =
    "Couldn't create folder %s, return code=%d";

// True when "folder\pattern" matches anything, file or folder. Both callers use it to forbid a
// deletion, so a search that fails for any reason but "no match" or "no such folder" (access
// denied, a path too long) counts as a match.
bool FolderHasMatch(const std::string& folder, const std::string& pattern);

// The path itself when it names an existing folder; otherwise cut at the last '/', else at
// the last '\', else the whole path.
std::string GetFolderPart(const std::string& path);

// Deletes the files of one folder (not its subfolders), then the folder. Shows an Error for
// every file it cannot delete and then an Information, or an Error when the folder stays.
// Only a folder inside the game's install folder (IsDeletableContentPath) or one of the
// program's own temporary folders is touched; any other, and an empty path, a drive root or a
// path with a dot component, is refused with an Error and nothing is removed. Links are never
// followed: a folder that is a link, and a link inside it, are removed themselves.
void RemoveFolder(const std::string& folder);
// Creates every missing folder along a path of backslash-separated components; shows an Error
// and returns false at the first folder it cannot create (those created before it stay). A
// path over 255 characters is refused before anything is created, with the error number
// Windows gives for it (206).
bool CreateFolderPath(const std::string& path);

}  // namespace parvane
