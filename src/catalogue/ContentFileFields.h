#pragma once

// The fields of a catalogue record that come from the content file itself rather than from
// the registry: what the file's header says, and whether its folder may be removed.

#include <span>
#include <vector>

#include "archive/RemovableLocation.h"
#include "catalogue/HeaderCache.h"
#include "catalogue/Records.h"

namespace parvane {

// Where the header cache holds the fields of each course's file (an empty place when it holds
// none), and those fields put into the course on trust, before the files' statuses are known:
// FillFromCourseFiles, given the places, keeps them only for the files unchanged since. For
// records fresh from the registry, whose header fields are unset.
std::vector<HeaderCache::Place> TakeCachedCourseFields(std::span<CourseRecord> courses,
                                                       HeaderCache& headers);
std::vector<HeaderCache::Place> TakeCachedLibraryFields(std::span<LibraryRecord> libraries,
                                                        HeaderCache& headers);

// From each course's file `filename`: the referenced library names, then the referenced GUIDs
// with their number, each only when its read succeeds (a failed read leaves the fields as they
// were); and `removable`, from the memo when its folder is there (see IsRemovableLocation).
// With a cache, the header comes from it while the file keeps the size and time it had, and
// what is read is kept in it; `cached`, given with the cache, is what TakeCachedCourseFields
// found for them. The files to read are read together (Machine::ReadFileStarts), and no path is
// asked about twice.
void FillFromCourseFiles(std::span<CourseRecord> courses, RemovableFolderMemo* memo = nullptr,
                         HeaderCache* headers = nullptr,
                         std::span<const HeaderCache::Place> cached = {});

// From each library's file `filename`: `headerName` and `guid` when the header can be read
// (left as they were otherwise); and `removable`, as for a course.
void FillFromLibraryFiles(std::span<LibraryRecord> libraries, RemovableFolderMemo* memo = nullptr,
                          HeaderCache* headers = nullptr,
                          std::span<const HeaderCache::Place> cached = {});

// The same without `removable`, which is left as it was: no folder is examined.
void FillHeadersFromCourseFiles(std::span<CourseRecord> courses, HeaderCache* headers,
                                std::span<const HeaderCache::Place> cached);
void FillHeadersFromLibraryFiles(std::span<LibraryRecord> libraries, HeaderCache* headers,
                                 std::span<const HeaderCache::Place> cached);

}  // namespace parvane
