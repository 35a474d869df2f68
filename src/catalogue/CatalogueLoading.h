#pragma once

// Loading the catalogue from the registry: the game's two stores into the installed lists and,
// when the cloaking tool is present, its two stores into the cloaked lists. Entries of the
// cloak store that the game's store also holds are stale and are deleted on the way.

#include <string>
#include <string_view>

#include "catalogue/RecordList.h"

namespace parvane {

// Answers, for an entry's key name as enumerated, whether the entry is stale.
using StaleEntryFilter = bool (*)(std::string_view keyName);

// Empties the four lists and fills them again. False when a store could not be loaded (a
// message has been shown); the lists loaded so far stay.
bool LoadCatalogue();

// Load every entry of the store key `storePath` (below HKEY_LOCAL_MACHINE) into `list`, which
// is sorted by name afterwards. With a filter, stale entries are deleted instead of listed.
// False, after a message, when the store or one of its entries cannot be opened.
bool LoadCourseStore(const std::string& storePath, CourseList& list, StaleEntryFilter isStale);
bool LoadLibraryStore(const std::string& storePath, LibraryList& list, StaleEntryFilter isStale);

}  // namespace parvane
