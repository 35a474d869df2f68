#pragma once

// Name tests, path splitting, safe folder names, folder creation and removal, the temporary
// extraction folder, and the safety test in front of every deletion of installed content.
// Paths are Windows paths; the splitting operations also accept '/', as zip entry names use it.

#include <string>
#include <string_view>

namespace parvane {

// Case-insensitive (A to Z) suffix and prefix tests; false when either text is empty or the
// suffix/prefix is longer than the text.
bool EndsWithNoCase(std::string_view text, std::string_view suffix);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// True when "folder\pattern" matches anything, file or folder.
bool FolderHasMatch(const std::string& folder, const std::string& pattern);

// Plain text prefix test of the long path names (no separator boundary is required); false
// when either cannot be expanded.
bool IsPathUnder(const std::string& parent, const std::string& path);

// The file's folder lies under the game's install folder and holds no *.tca and no *.tlb.
bool IsRemovableLocation(const std::string& file);

// The per-run folder into which packages are unpacked; fixed at the first call.
std::string GetTempExtractionFolder();

// After the last '/', else after the last '\', else the whole path.
std::string GetFileNamePart(std::string_view path);
// GetFileNamePart without its last dot and what follows.
std::string GetFileStem(std::string_view path);
// The path itself when it names an existing folder; otherwise cut at the last '/', else at
// the last '\', else the whole path.
std::string GetFolderPart(const std::string& path);

// Deletes the files of one folder (not its subfolders), then the folder.
void RemoveFolder(const std::string& folder);
// Creates every missing folder along a path of backslash-separated components.
bool CreateFolderPath(const std::string& path);

// The text without \ / : * ? " < > | and without trailing blanks.
std::string MakeValidName(std::string_view text);
// Every run of backslashes reduced to one.
std::string CollapseBackslashes(std::string_view path);

}  // namespace parvane
