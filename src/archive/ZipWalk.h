#pragma once

// The walk every archive operation makes: the global information, then each entry in archive
// order, with the Error box for a read that fails.

#include <functional>

#include "archive/ZipReader.h"

namespace parvane {

// False after "Couldn't get ZIP global info, return code=%d".
bool ReadArchiveInfo(ZipReader& reader);

// Calls `visit` for every entry from the first; stops when `visit` returns false. False when
// `visit` stopped, or after "Couldn't get ZIP file info, return code=%d" (an entry that cannot
// be read, or a step to the next one that fails).
bool ForEachEntry(ZipReader& reader, const std::function<bool(const ZipEntryInfo&)>& visit);

}  // namespace parvane
