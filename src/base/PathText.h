#pragma once

// Paths and names as text: splitting a path into folder, file name and stem, safe folder
// names, and the dot components that could lead a path out of its folder. Nothing here
// reaches the machine. Paths are Windows paths; the cuts also accept '/', as zip entry names
// use it, and a forward slash wins over any backslash.
//
// The operations take and return texts of any length and never cut them; a caller that
// stores a result in a fixed 255-character slot checks the length there.

#include <cstddef>
#include <string>
#include <string_view>

namespace parvane {

// The longest path or name the program stores (256 characters with the terminator on Windows).
inline constexpr std::size_t MAX_PATH_LENGTH = 255;

inline bool IsPathSeparator(char c) {
    return c == '\\' || c == '/';
}

// The path without the separators at its end.
std::string_view WithoutTrailingSeparators(std::string_view path);

// `name` inside `folder`: one backslash between them, whatever separators `folder` ends with.
std::string JoinPath(std::string_view folder, std::string_view name);

// The position of the last '/', else of the last '\', else npos.
std::size_t LastSeparator(std::string_view path);

// After the last separator, else the whole path.
std::string GetFileNamePart(std::string_view path);
// GetFileNamePart without its last dot and what follows.
std::string GetFileStem(std::string_view path);
// Before the last separator, else the whole path (the folder part of a path as text).
std::string_view FolderTextPart(std::string_view path);

// The nine characters Windows forbids in a file name: \ / : * ? " < > |
bool IsForbiddenNameCharacter(char c);
// The text without the forbidden characters and without trailing blanks.
std::string MakeValidName(std::string_view text);
// Every run of backslashes reduced to one.
std::string CollapseBackslashes(std::string_view path);
// A folder as a person gives it, in the form every path test of the program expects: '/'
// made '\\', and doubled separators made one (a network path keeps its leading pair).
std::string NormalizeFolderText(std::string_view folder);

// A full Windows path: a drive letter, a colon and a backslash ("C:\Games"). Anything else
// would be taken relative to the current drive or folder.
bool IsFullWindowsPath(std::string_view path);

// True when a component between separators (either kind) is "." or "..", or is made only of
// dots and blanks: Windows drops trailing dots and blanks from a last component, so "..." there
// names the folder it stands in.
bool HasDotComponent(std::string_view path);

}  // namespace parvane
