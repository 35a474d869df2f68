#pragma once

// The Win32 error number that Windows gives where the host failed with an errno.

#include <filesystem>

#include "platform/Win32Codes.h"

namespace parvane::wine {

enum class Creating { File, Folder };

// `path` is the host path the call worked on: a missing file is ERR_FILE_NOT_FOUND when its
// folder exists and ERR_PATH_NOT_FOUND otherwise. `creating` tells which "already exists"
// Windows reports: ERR_FILE_EXISTS for a file, ERR_ALREADY_EXISTS for a folder.
Win32Error Win32ErrorFromErrno(int error, const std::filesystem::path& path,
                               Creating creating = Creating::File);

}  // namespace parvane::wine
