#pragma once

// Hexadecimal digits as the registry files, GUIDs, digests and temporary names write them.

namespace parvane {

inline constexpr char UPPER_HEX_DIGITS[] = "0123456789ABCDEF";

constexpr bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The value of a digit that IsHexDigit accepts.
constexpr unsigned HexDigitValue(char c) {
    return c <= '9' ? static_cast<unsigned>(c - '0') : static_cast<unsigned>((c | 0x20) - 'a' + 10);
}

}  // namespace parvane
