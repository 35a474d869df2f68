#include "catalogue/StockContent.h"

#include <algorithm>

#include "platform/AsciiCase.h"

namespace parvane {

namespace {

template <std::size_t N>
bool IsListed(const std::array<std::string_view, N>& table, std::string_view guidText) {
    return std::any_of(table.begin(), table.end(),
                       [&](std::string_view stock) { return EqualsNoCase(stock, guidText); });
}

}  // namespace

bool IsStockCourse(std::string_view guidText) {
    return IsListed(StockCourseGuids, guidText);
}

bool IsStockLibrary(std::string_view guidText) {
    return IsListed(StockLibraryGuids, guidText);
}

}  // namespace parvane
