#pragma once

// The whole content of an open host file.

#include <string>

namespace parvane::wine {

// Reads `descriptor` to its end into `text`, in one read of the size the file has and more
// while it grows; files that give no size (those of /proc) in reads of a page and more. False
// when a read fails.
bool ReadToEnd(int descriptor, std::string& text);

}  // namespace parvane::wine
