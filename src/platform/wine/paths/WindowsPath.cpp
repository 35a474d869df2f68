#include "platform/wine/paths/WindowsPath.h"

#include <algorithm>

#include "platform/AsciiCase.h"

namespace parvane::wine {

namespace {

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Windows drops dots and blanks at the end of the last name ("file." is "file").
void TrimLastName(std::string& name) {
    const std::size_t end = name.find_last_not_of(". ");
    name.erase(end == std::string::npos ? 0 : end + 1);
}

Win32Error AddComponent(std::string name, bool isLast, std::vector<std::string>& components) {
    if (name == ".") {
        return ERR_SUCCESS;
    }
    if (name == "..") {
        if (!components.empty()) {
            components.pop_back();
        }
        return ERR_SUCCESS;
    }
    if (isLast) {
        TrimLastName(name);
        if (name.empty()) {
            return ERR_SUCCESS;
        }
    }
    for (char c : name) {
        if (IsForbiddenNameCharacter(c)) {
            return ERR_INVALID_NAME;
        }
    }
    components.push_back(std::move(name));
    return ERR_SUCCESS;
}

}  // namespace

bool IsAbsoluteWindowsPath(std::string_view path) {
    return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':' &&
           (path.size() == 2 || IsSeparator(path[2]));
}

Win32Error ParseWindowsPath(std::string_view path, WindowsPath& parsed) {
    parsed = WindowsPath{};
    if (path.size() > MAX_WINDOWS_PATH) {
        return ERR_FILENAME_EXCED_RANGE;
    }
    if (!IsAbsoluteWindowsPath(path)) {
        return ERR_PATH_NOT_FOUND;
    }
    parsed.drive = UpperAscii(path[0]);
    parsed.components.reserve(
        static_cast<std::size_t>(std::count_if(path.begin(), path.end(), IsSeparator)));
    std::size_t start = 2;
    while (start < path.size()) {
        while (start < path.size() && IsSeparator(path[start])) {
            ++start;
        }
        if (start == path.size()) {
            break;
        }
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        const bool isLast = end == path.size();
        const Win32Error error =
            AddComponent(std::string(path.substr(start, end - start)), isLast, parsed.components);
        if (error != ERR_SUCCESS) {
            return error;
        }
        start = end;
    }
    parsed.trailingSeparator = !parsed.components.empty() && IsSeparator(path.back());
    return ERR_SUCCESS;
}

std::string FormatWindowsPath(const WindowsPath& path) {
    std::string text{path.drive, ':'};
    for (const std::string& component : path.components) {
        text += '\\';
        text += component;
    }
    if (path.components.empty() || path.trailingSeparator) {
        text += '\\';
    }
    return text;
}

}  // namespace parvane::wine
