#pragma once

// One course package packed as the tools players use pack it, each with its packer's traits:
// Explorer's compressed folders, a packer marking UTF-8 names, macOS, Info-ZIP on Unix, and a
// zip64 archive. Every package uses some files twice (a prv file as the music and the text,
// sounds beside the hole audio, one sound in prv and sounds).

#include <ostream>
#include <string>
#include <vector>

#include "support/ZipFiles.h"

namespace parvane::test {

struct PackerArchive {
    std::string name;        // e.g. "macos", for test names and file names
    std::string courseName;  // code page 1252; also the course folder's and file's name
    ZipBytes bytes;
};
inline void PrintTo(const PackerArchive& archive, std::ostream* out) {
    *out << archive.name;
}

// The course's GUID in every archive (TestGuid).
inline constexpr std::uint32_t PACKED_COURSE_GUID = 18;

std::vector<PackerArchive> PackerArchives();

// What lands in the course folder, by path below it ("prv\\theme.mp3"), with its bytes.
struct PlacedFile {
    std::string path;
    std::string data;
};
std::vector<PlacedFile> PackedCourseFiles(const std::string& courseName);

}  // namespace parvane::test
