#pragma once

// Course (.tcr) and library (.tcl) files laid out as the game writes them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/Guid.h"
#include "catalogue/HeaderDecoding.h"

namespace parvane::test {

// Distinct for distinct `n`, never zero.
GUID TestGuid(std::uint32_t n);

struct LibraryFileContent {
    GUID guid = {};
    std::string name = {};  // at most 58 characters; 58 leave no room for the terminator
    std::size_t totalSize = NAME_BLOCK_SIZE;  // the file is cut or zero-padded to this size
};

struct CourseFileContent {
    GUID guid = {};
    std::string name = {};                       // at most 58 characters
    std::vector<GUID> libraryGuids = {};         // from offset 268, 16 bytes each
    std::vector<std::string> libraryNames = {};  // from offset 804, each ended by a NUL
    std::size_t totalSize = COURSE_HEADER_SIZE;  // the file is cut or zero-padded to this size
};

// A name or list that does not fit the layout fails the running test.
std::vector<std::uint8_t> LibraryFileBytes(const LibraryFileContent& content);
std::vector<std::uint8_t> CourseFileBytes(const CourseFileContent& content);

// Through TheMachine(); false (and a failure of the running test) when it cannot be written.
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
bool WriteLibraryFile(const std::string& path, const LibraryFileContent& content);
bool WriteCourseFile(const std::string& path, const CourseFileContent& content);

}  // namespace parvane::test
