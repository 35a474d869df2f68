#include "catalogue/StockContent.h"

#include <algorithm>

#include "catalogue/Guid.h"
#include "platform/AsciiCase.h"

namespace parvane {

namespace {

// The tables are sorted and spelled in capitals, so that a text folded to capitals is found by
// a binary search instead of being folded against every name of the table in turn.
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

template <std::size_t N>
bool IsListed(const std::array<std::string_view, N>& table, std::string_view guidText) {
    if (guidText.size() != GUID_TEXT_LENGTH) {
        return false;
    }
    std::array<char, GUID_TEXT_LENGTH> folded{};
    std::transform(guidText.begin(), guidText.end(), folded.begin(), UpperAscii);
    return std::binary_search(table.begin(), table.end(),
                              std::string_view(folded.data(), folded.size()));
}

}  // namespace

bool IsStockCourse(std::string_view guidText) {
    return IsListed(StockCourseGuids, guidText);
}

bool IsStockLibrary(std::string_view guidText) {
    return IsListed(StockLibraryGuids, guidText);
}

}  // namespace parvane
