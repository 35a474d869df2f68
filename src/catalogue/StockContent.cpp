#include "catalogue/StockContent.h"

#include <algorithm>

#include "catalogue/Guid.h"
#include "platform/AsciiCase.h"

namespace parvane {

namespace {

// The tables are sorted and spelled in capitals, so that a text is found by a binary search,
// comparing its letters folded to capitals as it goes: most comparisons end within the first
// few characters, long before the whole text would have been folded.
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

// An object, not a function, so that the search compares in place.
struct FoldedBefore {
    bool operator()(std::string_view first, std::string_view second) const {
        const std::size_t length = std::min(first.size(), second.size());
        for (std::size_t i = 0; i < length; ++i) {
            const auto a = static_cast<unsigned char>(UpperAscii(first[i]));
            const auto b = static_cast<unsigned char>(UpperAscii(second[i]));
            if (a != b) {
                return a < b;
            }
        }
        return first.size() < second.size();
    }
};

template <std::size_t N>
bool IsListed(const std::array<std::string_view, N>& table, std::string_view guidText) {
    return guidText.size() == GUID_TEXT_LENGTH &&
           std::binary_search(table.begin(), table.end(), guidText, FoldedBefore());
}

}  // namespace

bool IsStockCourse(std::string_view guidText) {
    return IsListed(StockCourseGuids, guidText);
}

bool IsStockLibrary(std::string_view guidText) {
    return IsListed(StockLibraryGuids, guidText);
}

}  // namespace parvane
