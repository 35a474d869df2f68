#pragma once

// The front of course (.tcr) and library (.tcl) files, decoded from bytes in memory. The
// readers that open a file and read these blocks are in HeaderReaders.h.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "catalogue/Guid.h"
#include "catalogue/Records.h"

namespace parvane {

inline constexpr std::size_t NAME_BLOCK_SIZE = 80;
inline constexpr std::size_t COURSE_HEADER_SIZE = 3000;
inline constexpr std::size_t MAX_NAME_LENGTH = 255;

struct NameAndGuid {
    std::string name;  // at most 58 characters
    GUID guid;
};

// The referenced libraries of a course, slot by slot; slots past `count` are empty or zero.
struct ReferencedGuids {
    std::array<GUID, MAX_REFERENCED_LIBRARIES> guids{};
    int count = 0;
};
struct ReferencedNames {
    std::array<std::string, MAX_REFERENCED_LIBRARIES> names;
    int count = 0;
};

// Each takes the first bytes of a file and fails when there are fewer than the block needs
// (80 bytes for the name block, 3000 for the course header); bytes past the block are ignored.
// The GUID list runs from offset 268 to a record whose first 32-bit word is 0 or that would not
// fit the block; the name list runs from offset 804 to an empty string. A course that lists
// more than 40 libraries, or a library name longer than 255 characters, is refused rather than
// cut.
bool DecodeNameAndGuid(std::span<const std::uint8_t> block, NameAndGuid& result);
bool DecodeReferencedLibraryGuids(std::span<const std::uint8_t> header, ReferencedGuids& result);
bool DecodeReferencedLibraryNames(std::span<const std::uint8_t> header, ReferencedNames& result);

}  // namespace parvane
