#pragma once

#include <string>

namespace parvane {

// Archives inside archives are unpacked down to this many levels below the outer archive;
// a deeper one is refused, which also stops an archive that holds itself.
inline constexpr int MAX_INNER_ARCHIVE_DEPTH = 7;

// Writes every file entry of the archive into the target folder, flat (by the last component
// of its name), and records in the origin lists which files came from a .tcx archive, a prv
// folder or a sounds folder. With expandInner set, entries ending in .zip, .exe or .tcx are
// unpacked into the same folder as well, at every depth, and deleted afterwards.
//
// Before anything is written the whole archive is checked: every entry name must give a safe
// Windows file name inside the target folder (and may not start at a root, name a drive or
// climb with ".."), no two entries with different data may be written to one file, no entry
// may be encrypted or use a method other than stored or deflated, no entry may overwrite an
// archive being unpacked, and the declared sizes must fit into the free space of the target's
// drive. True when every entry was written; false after an Error box.
bool ExtractArchive(const std::string& archivePath, const std::string& targetFolder,
                    bool expandInner);

}  // namespace parvane
