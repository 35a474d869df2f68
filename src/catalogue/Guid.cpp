#include "catalogue/Guid.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>

#include "platform/HexDigits.h"

namespace parvane {

namespace {

std::uint32_t LittleEndian(const std::uint8_t* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

}  // namespace

GUID GuidFromBytes(const std::uint8_t* bytes) {
    GUID guid;
    if constexpr (std::endian::native == std::endian::little) {
        // The binary layout is the record's own on a little-endian host: one copy.
        static_assert(sizeof(GUID) == GUID_BINARY_SIZE && std::is_trivially_copyable_v<GUID>);
        std::memcpy(&guid, bytes, sizeof guid);
        return guid;
    }
    guid.Data1 = LittleEndian(bytes, 4);
    guid.Data2 = static_cast<std::uint16_t>(LittleEndian(bytes + 4, 2));
    guid.Data3 = static_cast<std::uint16_t>(LittleEndian(bytes + 6, 2));
    std::copy_n(bytes + 8, guid.Data4.size(), guid.Data4.begin());
    return guid;
}

GuidChars GuidToChars(const GUID& guid) {
    // Written digit by digit: the analysis spells every reference of every course.
    GuidChars text;
    text.fill('-');
    std::size_t at = 0;
    const auto put = [&text, &at](std::uint64_t value, int digits) {
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
            text[at++] = UPPER_HEX_DIGITS[(value >> shift) & 0xF];
        }
    };
    const auto& d = guid.Data4;
    text[at++] = '{';
    put(guid.Data1, 8);
    ++at;
    put(guid.Data2, 4);
    ++at;
    put(guid.Data3, 4);
    ++at;
    put(std::uint64_t{d[0]} << 8 | d[1], 4);
    ++at;
    for (std::size_t i = 2; i < d.size(); ++i) {
        put(d[i], 2);
    }
    text[at] = '}';
    return text;
}

std::string GuidToText(const GUID& guid) {
    const GuidChars text = GuidToChars(guid);
    return {text.begin(), text.end()};
}

}  // namespace parvane
