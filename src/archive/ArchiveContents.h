#pragma once

// What an archive holds, read from its entry names without extracting anything.

#include <string>
#include <vector>

#include "archive/ArchiveKind.h"

namespace parvane {

// Counts the course (.tcr, .tcx), library (.tcl) and zip (.zip) entries and says what the
// archive is. A path that itself ends in .tcl is one library, without opening anything. An
// archive that cannot be read gives ARCHIVE_KIND_NONE after an Error box; one that holds
// nothing installable gives it without a message.
ArchiveKind ClassifyArchive(const std::string& archivePath);

// Appends, for every entry whose name ends with `extension` (as Windows writes the name), the
// archive's folder, a backslash and the entry name as stored (folders included). False after an
// Error box, with `paths` unchanged.
bool ListArchiveEntries(const std::string& archivePath, const std::string& extension,
                        std::vector<std::string>& paths);

}  // namespace parvane
