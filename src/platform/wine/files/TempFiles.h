#pragma once

// GetTempPathA and GetTempFileNameA in a Wine prefix.

#include <filesystem>
#include <string>

#include "platform/Win32Codes.h"

namespace parvane::wine {

// The user's temporary folder, ending in a backslash: `configured` (the TEMP setting of the
// prefix's user environment, already expanded; may be empty) when that folder exists, else
// C:\users\<user>\AppData\Local\Temp or C:\users\<user>\Temp, whichever exists. When none
// does, the configured folder (or the first of the two) is created.
Win32Error TempPath(const std::filesystem::path& prefix, const std::string& configured,
                    std::string& folder);

// The folder of the prefix's user: C:\users\<user>, <user> being the login name as Wine uses it.
Win32Error UserProfileFolder(std::string& folder);

// GetTempFileNameA with unique number 0: creates a new empty file "<prefix><hex>.tmp" in
// `folder` (at most three characters of `namePrefix`, the number in upper-case hexadecimal)
// trying successive numbers until a name is free, and returns its path. ERR_DIRECTORY when
// `folder` is no existing folder.
Win32Error UniqueTempFile(const std::filesystem::path& prefix, const std::string& folder,
                          const std::string& namePrefix, std::string& path);

}  // namespace parvane::wine
