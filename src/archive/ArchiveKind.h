#pragma once

#include <cstdint>

namespace parvane {

// What an archive holds, as ClassifyArchive says it. The values order the install queue:
// larger kinds are installed first.
using ArchiveKind = std::int32_t;

// No course, library or zip entry, or the archive cannot be read.
inline constexpr ArchiveKind ARCHIVE_KIND_NONE = 0;
// At least one course entry (.tcr or .tcx), whatever else the archive holds.
inline constexpr ArchiveKind ARCHIVE_KIND_COURSE = 1;
// Exactly one library entry (.tcl) and no course; also a path that itself ends in .tcl.
inline constexpr ArchiveKind ARCHIVE_KIND_LIBRARY = 2;
// More than one library entry and no course.
inline constexpr ArchiveKind ARCHIVE_KIND_LIBRARIES = 3;
// Zip entries and no course or library: a MyZip archive, unpacked beside itself.
inline constexpr ArchiveKind ARCHIVE_KIND_MYZIP = 4;

}  // namespace parvane
