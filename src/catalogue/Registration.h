#pragma once

// Making content known to the game and forgetting it again. Entries are written only into the
// game's stores; removal deletes the entry from whichever store holds it, the game's or the
// cloaking tool's.

#include "catalogue/Records.h"

namespace parvane {

// Writes the course's entry key with its eight values, completes the record from its course
// file (referenced libraries, `removable`) and adds a copy to the installed courses. False,
// after a message, when the key or a value cannot be written or the change cannot be saved
// (closing the key reports that); the lists are then unchanged, and an entry key this call
// created is deleted again.
bool RegisterCourse(CourseRecord& course);

// The same for a library: two values, and `headerName` and `guid` from its library file.
bool RegisterLibrary(LibraryRecord& library);

// Delete the record's entry key: from the cloak store when the catalogue lists the entry as
// cloaked, otherwise from the game's store. False, after a message, when it cannot be deleted
// or the deletion cannot be saved.
// The lists are not touched; a load afterwards brings them up to date.
bool UnregisterCourse(const CourseRecord& course);
bool UnregisterLibrary(const LibraryRecord& library);

}  // namespace parvane
