#pragma once

// Names of zip archive entries in the program's ANSI code page (1252).

#include <string>
#include <string_view>

#include "platform/Win32Codes.h"

namespace parvane::win32 {

// `bytes` are UTF-8 when `isUtf8`, otherwise the system's OEM code page, which Windows'
// compressed folders write. Composed with NormalizeString, then converted with
// WideCharToMultiByte: ERR_NO_UNICODE_TRANSLATION when a character has no place in code page
// 1252 (no best-fit letters) or the bytes are malformed; `name` then shows '?' for each.
Win32Error ArchiveNameToAnsi(std::string_view bytes, bool isUtf8, std::string& name);

}  // namespace parvane::win32
