#pragma once

// Flushing host files and folders to the disk, so that a rename that replaced a file survives
// a crash with the new data in place.

#include <filesystem>

namespace parvane::wine {

// 0, or the errno of the failure.
int SyncFile(const std::filesystem::path& path);

// Some file systems cannot flush a folder; a rename in it stands all the same, so nothing is
// reported.
void SyncFolder(const std::filesystem::path& folder);

}  // namespace parvane::wine
