#pragma once

// FindFirstFileA/FindNextFileA over a folder of a Wine prefix.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Machine.h"

namespace parvane::wine {

// Lists the entries of the folder named by `pattern` whose names match its last component,
// with Windows' wildcard rules; "." and ".." come first in every folder but a drive's root.
// Entries are ordered by name ignoring case. A host name that code page 1252 cannot hold is
// listed with '?' for each such character, as Windows' single-byte calls list it: the entry is
// seen (a folder holding it is not empty) but cannot be opened by that name
// (ERR_INVALID_NAME). No match gives ERR_FILE_NOT_FOUND, a missing folder ERR_PATH_NOT_FOUND.
Win32Error ListFolder(const std::filesystem::path& prefix, const std::string& pattern,
                      std::vector<FolderEntry>& entries);

}  // namespace parvane::wine
