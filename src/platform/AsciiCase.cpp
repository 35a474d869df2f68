#include "platform/AsciiCase.h"

#include <algorithm>

namespace parvane {

std::string ToUpperAscii(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), UpperAscii);
    return upper;
}

bool EqualsNoCase(std::string_view first, std::string_view second) {
    return first.size() == second.size() && CompareNoCase(first, second) == 0;
}

int CompareNoCase(std::string_view first, std::string_view second) {
    const std::size_t common = std::min(first.size(), second.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto a = static_cast<unsigned char>(UpperAscii(first[i]));
        const auto b = static_cast<unsigned char>(UpperAscii(second[i]));
        if (a != b) {
            return a < b ? -1 : 1;
        }
    }
    if (first.size() == second.size()) {
        return 0;
    }
    return first.size() < second.size() ? -1 : 1;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.empty() || suffix.empty() || suffix.size() > text.size()) {
        return false;
    }
    return EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.empty() || prefix.empty() || prefix.size() > text.size()) {
        return false;
    }
    return EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace parvane
