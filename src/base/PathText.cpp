// The text-only path operations: no machine access. Results are as long as they need to be;
// nothing here cuts a path or a name.

#include "base/PathText.h"

#include <algorithm>
#include <iterator>

#include "platform/AsciiCase.h"

namespace parvane {

std::string_view WithoutTrailingSeparators(std::string_view path) {
    while (!path.empty() && IsPathSeparator(path.back())) {
        path.remove_suffix(1);
    }
    return path;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string joined(WithoutTrailingSeparators(folder));
    joined += '\\';
    joined += name;
    return joined;
}

std::size_t LastSeparator(std::string_view path) {
    // Zip entry names use '/', so a forward slash wins over any backslash. Windows paths have
    // none, which the forward search (the library's fast scan) finds out at once; the last
    // backslash is then near the end.
    return path.find('/') != std::string_view::npos ? path.rfind('/') : path.rfind('\\');
}

std::string GetFileNamePart(std::string_view path) {
    const std::size_t separator = LastSeparator(path);
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string GetFileStem(std::string_view path) {
    std::string name = GetFileNamePart(path);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

std::string_view FolderTextPart(std::string_view path) {
    const std::size_t separator = LastSeparator(path);
    return separator == std::string_view::npos ? path : path.substr(0, separator);
}

bool IsForbiddenNameCharacter(char c) {
    constexpr std::string_view FORBIDDEN = "\\/:*?\"<>|";
    return FORBIDDEN.find(c) != std::string_view::npos;
}

std::string MakeValidName(std::string_view text) {
    std::string name;
    name.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(name),
                 [](char c) { return !IsForbiddenNameCharacter(c); });
    const std::size_t last = name.find_last_not_of(' ');
    name.erase(last == std::string::npos ? 0 : last + 1);
    return name;
}

std::string CollapseBackslashes(std::string_view path) {
    std::string collapsed;
    collapsed.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (i > 0 && path[i] == '\\' && path[i - 1] == '\\') {
            continue;
        }
        collapsed += path[i];
    }
    return collapsed;
}

std::string NormalizeFolderText(std::string_view folder) {
    std::string backslashed(folder);
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    if (!backslashed.starts_with("\\\\")) {
        return CollapseBackslashes(backslashed);
    }
    const std::size_t server = backslashed.find_first_not_of('\\');
    return "\\\\" + CollapseBackslashes(server == std::string::npos
                                            ? std::string_view()
                                            : std::string_view(backslashed).substr(server));
}

bool IsFullWindowsPath(std::string_view path) {
    const char drive = UpperAscii(path.empty() ? '\0' : path[0]);
    return path.size() >= 3 && drive >= 'A' && drive <= 'Z' && path[1] == ':' && path[2] == '\\';
}

bool HasDotComponent(std::string_view path) {
    // It runs on every path of the catalogue: each component is found by the library's fast
    // scan for a backslash when the path has no '/', which one such scan finds out, and only a
    // component that begins with a dot or a blank is looked at further.
    const bool slashes = path.find('/') != std::string_view::npos;
    for (std::size_t start = 0; start < path.size();) {
        std::size_t end = slashes ? path.find_first_of("\\/", start) : path.find('\\', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        if ((path[start] == '.' || path[start] == ' ') &&
            path.substr(start, end - start).find_first_not_of(". ") == std::string_view::npos) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

}  // namespace parvane
