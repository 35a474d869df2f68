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

// `digits` hexadecimal digits of `value`, in capitals. By hand: checking an installation
// spells a GUID for every slot of every course, and the C library's formatting takes many times
// as long.
void AppendHex(std::uint32_t value, int digits, std::string& text) {
    constexpr std::string_view HEX_DIGITS = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        text += HEX_DIGITS[(value >> shift) & 0xF];
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
    std::string text;
    text.reserve(GUID_TEXT_LENGTH);
    text += '{';
    AppendHex(guid.Data1, 8, text);
    text += '-';
    AppendHex(guid.Data2, 4, text);
    text += '-';
    AppendHex(guid.Data3, 4, text);
    text += '-';
    for (std::size_t i = 0; i < guid.Data4.size(); ++i) {
        if (i == 2) {
            text += '-';
        }
        AppendHex(guid.Data4[i], 2, text);
    }
    text += '}';
    return text;
}

}  // namespace parvane
