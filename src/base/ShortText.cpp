#include "base/ShortText.h"

#include <algorithm>

namespace parvane {

namespace {

constexpr std::string_view PLACEHOLDER = "%s";

std::string Substitute(std::string_view format, const std::vector<std::string>& arguments) {
    std::string text;
    std::size_t next = 0;
    for (const std::string& argument : arguments) {
        const std::size_t found = format.find(PLACEHOLDER, next);
        if (found == std::string_view::npos) {
            break;
        }
        text.append(format.substr(next, found - next)).append(argument);
        next = found + PLACEHOLDER.size();
    }
    return text.append(format.substr(next));
}

std::size_t LengthWithin(const std::vector<std::string>& arguments, std::size_t cap) {
    std::size_t total = 0;
    for (const std::string& argument : arguments) {
        total += std::min(argument.size(), cap);
    }
    return total;
}

}  // namespace

std::string ShortenWithEllipsis(std::string_view text, std::size_t maxLength) {
    if (text.size() <= maxLength) {
        return std::string(text);
    }
    if (maxLength <= ELLIPSIS.size()) {
        return std::string(ELLIPSIS.substr(0, maxLength));
    }
    const std::size_t kept = maxLength - ELLIPSIS.size();
    const std::size_t head = (kept + 1) / 2;
    return std::string(text.substr(0, head))
        .append(ELLIPSIS)
        .append(text.substr(text.size() - (kept - head)));
}

std::string FormatWithin(std::size_t maxLength, std::string_view format,
                         std::vector<std::string> arguments) {
    const std::size_t fixedLength =
        Substitute(format, std::vector<std::string>(arguments.size())).size();
    const std::size_t budget = maxLength > fixedLength ? maxLength - fixedLength : 0;
    std::size_t longest = 0;
    for (const std::string& argument : arguments) {
        longest = std::max(longest, argument.size());
    }
    if (LengthWithin(arguments, longest) > budget) {
        // The largest common length at which the arguments fit the budget.
        std::size_t low = 0;
        std::size_t high = longest;
        while (low < high) {
            const std::size_t middle = (low + high + 1) / 2;
            if (LengthWithin(arguments, middle) <= budget) {
                low = middle;
            } else {
                high = middle - 1;
            }
        }
        for (std::string& argument : arguments) {
            argument = ShortenWithEllipsis(argument, low);
        }
    }
    return Substitute(format, arguments);
}

}  // namespace parvane
