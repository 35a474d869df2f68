#include "catalogue/StockContent.h"

#include <algorithm>
#include <cstdint>

#include "catalogue/Guid.h"
#include "platform/AsciiCase.h"

namespace parvane {

namespace {

// The tables are sorted and spelled in capitals, so that a text is found by a binary search of
// its first characters folded to capitals.
template <std::size_t N>
constexpr bool IsSearchable(const std::array<std::string_view, N>& table) {
    return std::is_sorted(table.begin(), table.end()) &&
           std::all_of(table.begin(), table.end(), [](std::string_view guid) {
               return guid.size() == GUID_TEXT_LENGTH &&
                      std::none_of(guid.begin(), guid.end(),
                                   [](char c) { return c >= 'a' && c <= 'z'; });
           });
}
static_assert(IsSearchable(StockCourseGuids) && IsSearchable(StockLibraryGuids));

// The eight characters after the opening brace as one number, big-endian, so that numbers
// order as the texts do: a search compares numbers, and only a text whose number is in the
// table is compared whole.
constexpr std::size_t PREFIX_START = 1;
constexpr std::size_t PREFIX_LENGTH = 8;

template <typename Fold>
constexpr std::uint64_t PrefixNumber(std::string_view guidText, Fold fold) {
    std::uint64_t number = 0;
    for (std::size_t i = PREFIX_START; i < PREFIX_START + PREFIX_LENGTH; ++i) {
        number = (number << 8) | static_cast<unsigned char>(fold(guidText[i]));
    }
    return number;
}

// The tables' numbers, in the tables' order (spelled in capitals already).
template <std::size_t N>
constexpr std::array<std::uint64_t, N> PrefixNumbers(const std::array<std::string_view, N>& table) {
    std::array<std::uint64_t, N> numbers{};
    for (std::size_t i = 0; i < N; ++i) {
        numbers[i] = PrefixNumber(table[i], [](char c) { return c; });
    }
    return numbers;
}

constexpr auto STOCK_COURSE_PREFIXES = PrefixNumbers(StockCourseGuids);
constexpr auto STOCK_LIBRARY_PREFIXES = PrefixNumbers(StockLibraryGuids);

template <std::size_t N>
bool IsListed(const std::array<std::string_view, N>& table,
              const std::array<std::uint64_t, N>& prefixes, std::string_view guidText) {
    if (guidText.size() != GUID_TEXT_LENGTH) {
        return false;
    }
    const std::uint64_t prefix = PrefixNumber(guidText, UpperAscii);
    for (auto found = std::lower_bound(prefixes.begin(), prefixes.end(), prefix);
         found != prefixes.end() && *found == prefix; ++found) {
        if (EqualsNoCase(table[static_cast<std::size_t>(found - prefixes.begin())], guidText)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsStockCourse(std::string_view guidText) {
    return IsListed(StockCourseGuids, STOCK_COURSE_PREFIXES, guidText);
}

bool IsStockLibrary(std::string_view guidText) {
    return IsListed(StockLibraryGuids, STOCK_LIBRARY_PREFIXES, guidText);
}

}  // namespace parvane
