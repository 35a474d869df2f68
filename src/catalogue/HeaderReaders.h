#pragma once

// The three readers of course (.tcr) and library (.tcl) file headers: each opens the file,
// reads the one block it needs and decodes it (HeaderDecoding.h). They show no message; the
// callers name the file in their own. On failure the result is not to be used.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "catalogue/HeaderDecoding.h"

namespace parvane {

// The display name and GUID from the first 80 bytes of a course or library file.
bool GetHeaderNameAndGuid(const std::string& path, NameAndGuid& result);
// The GUIDs and names of the libraries a course file references, from its first 3000 bytes.
bool GetReferencedLibraryGuids(const std::string& path, ReferencedGuids& result);
bool GetReferencedLibraryNames(const std::string& path, ReferencedNames& result);

// The first 3000 bytes of a course file, for a caller that decodes both lists from one
// reading; nothing when the file cannot be opened or is shorter.
using CourseHeader = std::array<std::uint8_t, COURSE_HEADER_SIZE>;
std::optional<CourseHeader> ReadCourseHeader(const std::string& path);

}  // namespace parvane
