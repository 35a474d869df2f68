#pragma once

// The name under which an archive entry is written. Archives come from the internet, so the
// last component of an entry name decides everything: it must be a plain Windows file name,
// and it is written as Windows would store it.

#include <string>
#include <string_view>

namespace parvane {

// The name without its trailing dots and spaces, as Windows stores a file created under it.
std::string WindowsFileName(std::string_view name);

// Why a last component cannot be written as a file of its own in the target folder, or empty
// when it can: it holds a '\', a ':', a control character or another character Windows
// forbids; it is empty, "." or ".." (also after Windows drops its trailing dots and spaces);
// or it names a device (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, CONIN$, CONOUT$, with or
// without an extension).
std::string UnsafeFileNameReason(std::string_view component);

// Files that packers add beside what was packed and that are never content: everything under
// a __MACOSX folder (macOS's resource forks), AppleDouble files ("._name"), Finder's
// .DS_Store, Explorer's Thumbs.db and desktop.ini. `entryName` is the whole entry name.
bool IsPackerLeftover(std::string_view entryName);

// The name with control characters shown as '?', for messages.
std::string PrintableName(std::string_view name);

}  // namespace parvane
