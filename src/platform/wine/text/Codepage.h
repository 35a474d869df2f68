#pragma once

// text/ of the Wine backend, its lowest folder: code page 1252 and the host's Unicode forms
// (here), archive entry names as Windows decodes them (ArchiveNames), names compared as Windows
// compares them (NameCompare) and wildcards (Wildcard). It includes no other folder of the backend.
//
// Conversion between the program's single-byte text (code page 1252, as on a Western Windows)
// and the Unicode forms of the host: UTF-8 file names and UTF-16 registry strings.

#include <string>
#include <string_view>

namespace parvane::wine {

// Every byte of code page 1252 has a Unicode character, so these cannot fail.
std::u16string Cp1252ToUtf16(std::string_view text);
std::string Cp1252ToUtf8(std::string_view text);

// False when a character has no place in code page 1252 (or the UTF-8 is malformed); `out`
// is then unspecified.
bool Utf16ToCp1252(std::u16string_view text, std::string& out);
// The same from UTF-16 stored as little-endian bytes (an odd last byte has no character).
bool Utf16BytesToCp1252(std::string_view bytes, std::string& out);
bool Utf8ToCp1252(std::string_view text, std::string& out);

// As Windows' single-byte calls report a name they cannot hold: each character outside the
// code page, and each malformed UTF-8 byte, becomes '?'. Such a name names no file.
std::string Utf8ToCp1252WithSubstitutes(std::string_view text);

// Upper case as the registry and the file system of Windows compare names: ASCII and the
// Latin-1 letters (e with acute to E with acute, and the like).
char16_t FoldCase(char16_t c);

}  // namespace parvane::wine
