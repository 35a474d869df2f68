#pragma once

// Loading the catalogue from the registry: the game's two stores into the installed lists and,
// when the cloaking tool is present, its two stores into the cloaked lists. Entries of the
// cloak store that the game's store also holds are stale and are deleted on the way.

#include "catalogue/RecordList.h"

namespace parvane {

// What a load finds out: everything, or what a command that removes nothing needs. The latter
// examines no record's folder and leaves every `removable` false, which refuses any removal.
enum class LoadScope { Everything, NoRemoval };

// Empties the four lists and fills them again. False when a store could not be loaded (a
// message has been shown); the lists loaded so far stay.
bool LoadCatalogue(LoadScope scope = LoadScope::Everything);

// Starts reading the header cache and the store snapshot of the state folder on threads of their
// own, for the next load, so that the caller may do other work meanwhile, the machine's included
// (see HeaderCache::ReadAhead, StoreSnapshot::ReadAhead). DropCatalogueStateReadAhead waits for
// what no load took.
void ReadCatalogueStateAhead();
void DropCatalogueStateReadAhead();

}  // namespace parvane
