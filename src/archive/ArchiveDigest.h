#pragma once

// The size and SHA-1 of the archive being unpacked, for the record of what its installation
// places. The archive is read a block at a time beside the unpacking, so that its hashing runs
// on another thread while the entries are inflated; what is left is read at the end. An archive
// that cannot be read here simply has no digest: the record reads it again.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "base/OverlappedSha1.h"
#include "platform/Machine.h"

namespace parvane {

class ArchiveDigest {
  public:
    explicit ArchiveDigest(const std::string& archivePath);
    ~ArchiveDigest();
    ArchiveDigest(const ArchiveDigest&) = delete;
    ArchiveDigest& operator=(const ArchiveDigest&) = delete;

    // Reads and hashes the archive's next block.
    void Step();
    // Hashes the rest and remembers the digest under the archive's path.
    void Finish();

  private:
    std::string path;
    std::unique_ptr<FileStream> stream;
    OverlappedSha1 digest;
    std::uint64_t size = 0;
    bool ended = false;
};

}  // namespace parvane
