#pragma once

// The fields of a catalogue record that come from the content file itself rather than from
// the registry: what the file's header says, and whether its folder may be removed.

#include "archive/Folders.h"
#include "catalogue/HeaderCache.h"
#include "catalogue/Records.h"

namespace parvane {

// From the course file `filename`: the referenced library names, then the referenced GUIDs
// with their number, each only when its read succeeds (a failed read leaves the fields as
// they were); and `removable`, from the memo when its folder is there (see IsRemovableLocation).
// With a cache, the file's status is taken once: the header comes from the cache while the
// file is unchanged, and what is read is kept in it.
void FillFromCourseFile(CourseRecord& course, RemovableFolderMemo* memo = nullptr,
                        HeaderCache* headers = nullptr);

// From the library file `filename`: `headerName` and `guid` when the header can be read (left
// as they were otherwise); and `removable`, as for a course.
void FillFromLibraryFile(LibraryRecord& library, RemovableFolderMemo* memo = nullptr,
                         HeaderCache* headers = nullptr);

}  // namespace parvane
