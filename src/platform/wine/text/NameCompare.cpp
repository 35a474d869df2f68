#include "platform/wine/text/NameCompare.h"

#include <algorithm>
#include <array>
#include <string>

#include "platform/wine/text/Codepage.h"

namespace parvane::wine {

namespace {

std::array<char16_t, 256> MakeFoldTable() {
    std::array<char16_t, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        const std::string text(1, static_cast<char>(byte));
        table[byte] = FoldCase(Cp1252ToUtf16(text)[0]);
    }
    return table;
}

}  // namespace

char16_t FoldedCharacter(char byte) {
    static const std::array<char16_t, 256> FOLDED = MakeFoldTable();
    return FOLDED[static_cast<unsigned char>(byte)];
}

bool NameLessIgnoringCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return FoldedCharacter(x) < FoldedCharacter(y);
    });
}

}  // namespace parvane::wine
