#include "archive/FileCompare.h"

#include <cstdint>

#include "journal/PlacementRecords.h"
#include "platform/Machine.h"

namespace parvane {

std::string ComputeFileDigest(const std::string& path) {
    std::uint64_t size = 0;
    std::string sha1;
    return HashFile(TheMachine(), path, size, sha1) ? sha1 : std::string();
}

bool FilesDiffer(const std::string& first, const std::string& second) {
    // Both files are hashed in full: no shortcut on sizes or on the first
    // differing byte.
    const std::string firstDigest = ComputeFileDigest(first);
    return ComputeFileDigest(second) != firstDigest;
}

}  // namespace parvane
