#pragma once

// Letter case as the program folds it everywhere: the letters a to z only, whatever the code
// page holds above 127. File names, extensions and paths are compared this way.

#include <string>
#include <string_view>

namespace parvane {

inline char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string ToUpperAscii(std::string_view text);
bool EqualsNoCase(std::string_view first, std::string_view second);
// Negative, zero or positive, comparing the folded texts as unsigned bytes.
int CompareNoCase(std::string_view first, std::string_view second);

// Suffix and prefix tests ignoring case; false when either text is empty or the suffix or
// prefix is longer than the text.
bool EndsWithNoCase(std::string_view text, std::string_view suffix);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace parvane
