#pragma once

// Removing one registered library, installed or cloaked: a caution when courses use it, its
// entry, its file, and its folder when nothing else is installed there.

#include <string>

#include "catalogue/Records.h"

namespace parvane {

// The courses, installed then cloaked, that reference the library: `count` slots, and the
// caution's list of the first ten, one name a line (" (Cloaked)" after a cloaked course's).
// Each line has at most USER_LINE_LENGTH characters, a long name being shortened with "...",
// so that ten lines always fit the list's 1023 characters.
inline constexpr std::size_t USER_LINE_LENGTH = 102;

struct LibraryUsers {
    int count = 0;
    std::string list;
};

LibraryUsers CollectLibraryUsers(const LibraryRecord& library);

// True when the library was unregistered (its file and folder are then deleted as far as they
// may be); false when it was refused, the user declined or cancelled, or unregistering failed,
// with nothing changed. The catalogue lists are not touched: the caller reloads them.
bool UninstallLibrary(const LibraryRecord& library);

}  // namespace parvane
