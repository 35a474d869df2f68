#pragma once

// Names of zip archive entries in the program's code page 1252, as the Win32 backend makes
// them with MultiByteToWideChar, NormalizeString and WideCharToMultiByte.

#include <string>
#include <string_view>

#include "platform/Win32Codes.h"

namespace parvane::wine {

// `bytes` are UTF-8 when `isUtf8`, otherwise code page 437, the zip format's code page for
// names without the UTF-8 flag. The name is composed (macOS stores letters decomposed) and
// converted to code page 1252. ERR_NO_UNICODE_TRANSLATION when the bytes are malformed or a
// character has no place in code page 1252; `name` then shows each such character as '?'.
Win32Error ArchiveNameToAnsi(std::string_view bytes, bool isUtf8, std::string& name);

}  // namespace parvane::wine
