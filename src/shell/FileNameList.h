#pragma once

// The archive queue: the paths that the next install run works through, in order, with a read
// cursor. The command line and the open-archive dialog fill it, the nested-archive handling
// rewrites and orders it, the install run consumes it.

#include <cstdint>
#include <string>
#include <vector>

namespace parvane {

struct FileNameEntry {
    std::string path;
    // Set for an archive unpacked from a MyZip archive; it is deleted after its installation.
    std::int32_t isTemporary = 0;
    // The ArchiveKind of the archive; 0 until the queue is classified.
    std::int32_t packageKind = 0;
};

// Appends a user's path (not temporary, kind 0). A path over 255 characters is refused with
// an Error box and false.
bool AddFileName(const std::string& path);

// Empties the queue; the cursor stays where it is.
void ClearFileNameList();

// At or past the end: puts the cursor back on the first entry and returns null. Otherwise
// returns the entry under the cursor and moves the cursor by `step`. The entry stays valid
// until the queue changes.
FileNameEntry* NextFileName(std::int32_t step);

std::int32_t FileNameCount();

// The entries in order, and their replacement; the cursor is not changed.
const std::vector<FileNameEntry>& GetFileNameEntries();
void SetFileNameEntries(std::vector<FileNameEntry> entries);

}  // namespace parvane
