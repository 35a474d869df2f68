#pragma once

// Names and strings as Wine's registry files write them: backslash escapes for quotes,
// control characters and everything above 127, raw UTF-8 also accepted on reading. Registry
// strings are UTF-16, stored as little-endian bytes as Windows stores them.

#include <cstddef>
#include <string>
#include <string_view>

namespace parvane::wine {

// Reads an escaped string from `line` at `pos` up to the first unescaped `endChar` and moves
// `pos` past that character. False when the line ends first. An unknown escape stands for the
// character itself; a malformed UTF-8 sequence is skipped, as Wine skips it.
bool ReadEscapedString(std::string_view line, std::size_t& pos, char endChar, std::u16string& text);
// Moves `pos` past the string that ReadEscapedString would read, without decoding it; false
// exactly when ReadEscapedString fails. `endChar` is no letter, digit or byte above 127.
bool SkipEscapedString(std::string_view line, std::size_t& pos, char endChar);

// Appends `text` escaped as Wine writes it; a backslash and the characters of `quotes` take a
// backslash in front. Returns the number of characters appended.
std::size_t AppendEscapedString(std::u16string_view text, std::string_view quotes,
                                std::string& out);

std::string Utf16ToBytes(std::u16string_view text);
// An odd last byte has no character and is left out.
std::u16string BytesToUtf16(std::string_view bytes);

}  // namespace parvane::wine
