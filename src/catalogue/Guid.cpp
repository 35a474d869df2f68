#include "catalogue/Guid.h"

#include <algorithm>
#include <string_view>

namespace parvane {

namespace {

std::uint32_t LittleEndian(const std::uint8_t* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

// `digits` hexadecimal digits of `value`, in capitals, from `out` on. By hand: checking an
// installation spells a GUID for every slot of every course, and the C library's formatting
// takes many times as long.
void PutHex(std::uint32_t value, int digits, char* out) {
    constexpr std::string_view HEX_DIGITS = "0123456789ABCDEF";
    for (int i = 0; i < digits; ++i) {
        out[i] = HEX_DIGITS[(value >> ((digits - 1 - i) * 4)) & 0xF];
    }
}

}  // namespace

GUID GuidFromBytes(const std::uint8_t* bytes) {
    GUID guid;
    guid.Data1 = LittleEndian(bytes, 4);
    guid.Data2 = static_cast<std::uint16_t>(LittleEndian(bytes + 4, 2));
    guid.Data3 = static_cast<std::uint16_t>(LittleEndian(bytes + 6, 2));
    std::copy_n(bytes + 8, guid.Data4.size(), guid.Data4.begin());
    return guid;
}

bool IsZeroGuid(const GUID& guid) {
    return guid == GUID{};
}

std::string GuidToText(const GUID& guid) {
    // "{" 8 "-" 4 "-" 4 "-" 4 "-" 12 "}": the dashes stay where the digits leave them.
    std::string text(GUID_TEXT_LENGTH, '-');
    text.front() = '{';
    PutHex(guid.Data1, 8, &text[1]);
    PutHex(guid.Data2, 4, &text[10]);
    PutHex(guid.Data3, 4, &text[15]);
    PutHex(guid.Data4[0], 2, &text[20]);
    PutHex(guid.Data4[1], 2, &text[22]);
    for (std::size_t i = 2; i < guid.Data4.size(); ++i) {
        PutHex(guid.Data4[i], 2, &text[25 + 2 * (i - 2)]);
    }
    text.back() = '}';
    return text;
}

}  // namespace parvane
