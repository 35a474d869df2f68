// The text-only path operations: no machine access. Results are as long as they need to be;
// nothing here cuts a path or a name.

#include <algorithm>
#include <iterator>

#include "archive/PathHelpers.h"

namespace parvane {

namespace {

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldCase(x) == FoldCase(y);
           });
}

bool IsForbiddenInName(char c) {
    constexpr std::string_view FORBIDDEN = "\\/:*?\"<>|";
    return FORBIDDEN.find(c) != std::string_view::npos;
}

}  // namespace

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.empty() || suffix.empty() || suffix.size() > text.size()) {
        return false;
    }
    return EqualNoCase(text.substr(text.size() - suffix.size()), suffix);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.empty() || prefix.empty() || prefix.size() > text.size()) {
        return false;
    }
    return EqualNoCase(text.substr(0, prefix.size()), prefix);
}

std::string GetFileNamePart(std::string_view path) {
    // Zip entry names use '/', so a forward slash wins over any backslash.
    std::size_t separator = path.rfind('/');
    if (separator == std::string_view::npos) {
        separator = path.rfind('\\');
    }
    if (separator == std::string_view::npos) {
        return std::string(path);
    }
    return std::string(path.substr(separator + 1));
}

std::string GetFileStem(std::string_view path) {
    std::string name = GetFileNamePart(path);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

std::string MakeValidName(std::string_view text) {
    std::string name;
    name.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(name),
                 [](char c) { return !IsForbiddenInName(c); });
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

}  // namespace parvane
