#pragma once

// The parts of an absolute Windows path ("C:\Games\Golf"), checked and normalised as Windows
// does before it reaches a file system: both separators, "." and ".." resolved, trailing dots
// and blanks of the last name dropped.

#include <string>
#include <string_view>
#include <vector>

#include "platform/Win32Codes.h"

namespace parvane::wine {

// Longest path the single-byte calls accept, terminator excluded (MAX_PATH - 1).
inline constexpr std::size_t MAX_WINDOWS_PATH = 259;

struct WindowsPath {
    char drive = 0;                       // 'A' to 'Z'
    std::vector<std::string> components;  // code page 1252, none empty, "." or ".."
    bool trailingSeparator = false;       // "C:\Games\" names a folder
};

// Defined here, as this and IsForbiddenNameCharacter are asked of every character of every
// path the catalogue checks.
inline bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// True for "X:" followed by a separator or nothing.
bool IsAbsoluteWindowsPath(std::string_view path);

// Splits an absolute path. ERR_INVALID_NAME for a character Windows forbids in a name,
// ERR_PATH_NOT_FOUND when there is no drive letter, ERR_FILENAME_EXCED_RANGE when too long.
Win32Error ParseWindowsPath(std::string_view path, WindowsPath& parsed);

// Characters a Windows file name cannot hold: controls and <>:"/\|?*.
inline bool IsForbiddenNameCharacter(char c) {
    if (static_cast<unsigned char>(c) < 0x20) {
        return true;
    }
    switch (c) {
        case '<':
        case '>':
        case ':':
        case '"':
        case '/':
        case '\\':
        case '|':
        case '?':
        case '*':
            return true;
        default:
            return false;
    }
}

// Whether a name, its characters allowed, reaches the host as spelled: not empty, and without
// the trailing dot or blank that Windows drops (so not "." or "..").
inline bool HasPlainEnd(std::string_view name) {
    return !name.empty() && name.back() != '.' && name.back() != ' ';
}

// "C:\a\b", with the trailing separator when the path has one.
std::string FormatWindowsPath(const WindowsPath& path);

}  // namespace parvane::wine
