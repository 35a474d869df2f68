#pragma once

// The three readers of course (.tcr) and library (.tcl) file headers: each opens the file,
// reads the one block it needs and decodes it (HeaderDecoding.h). They show no message; the
// callers name the file in their own. On failure the result is not to be used.

#include <string>

#include "catalogue/HeaderDecoding.h"

namespace parvane {

// The display name and GUID from the first 80 bytes of a course or library file.
bool GetHeaderNameAndGuid(const std::string& path, NameAndGuid& result);
// The GUIDs and names of the libraries a course file references, from its first 3000 bytes.
bool GetReferencedLibraryGuids(const std::string& path, ReferencedGuids& result);
bool GetReferencedLibraryNames(const std::string& path, ReferencedNames& result);

}  // namespace parvane
