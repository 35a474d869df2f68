#pragma once

// The 16-byte identifier of a course or library, and its text form, which names registry keys
// and is what every catalogue lookup takes.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace parvane {

// Laid out as the files store it: Data1, Data2 and Data3 little-endian, then Data4 in order.
struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::array<std::uint8_t, 8> Data4{};

    friend bool operator==(const GUID&, const GUID&) = default;
};

inline constexpr std::size_t GUID_BINARY_SIZE = 16;
inline constexpr std::size_t GUID_TEXT_LENGTH = 38;

// Reads the 16 bytes of the binary layout.
GUID GuidFromBytes(const std::uint8_t* bytes);

// All 16 bytes zero: an empty slot. Defined here: it is asked of every slot of every course.
inline bool IsZeroGuid(const GUID& guid) {
    return guid == GUID{};
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", hexadecimal digits in upper case.
std::string GuidToText(const GUID& guid);

// The same characters without a string made for them, for lookups of many GUIDs.
using GuidChars = std::array<char, GUID_TEXT_LENGTH>;
GuidChars GuidToChars(const GUID& guid);

inline std::string_view ViewOf(const GuidChars& text) {
    return {text.data(), text.size()};
}

}  // namespace parvane
