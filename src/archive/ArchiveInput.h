#pragma once

// The archive file under the zip reader. minizip's own reads (the central directory, the local
// headers) go straight to the file. The entries' data is read with `ReadAt`: hashed, from large
// blocks read in file order and handed to a second thread for the archive's SHA-1, bytes that no
// entry claims included; what follows the last entry is read at the end. So the archive is read
// once for its unpacking and for the record of what its installation placed, in few system calls.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/OverlappedSha1.h"
#include "platform/Machine.h"

namespace parvane {

struct ArchiveFingerprint {
    std::uint64_t size = 0;
    std::string sha1;
};

class ArchiveInput;

// How a zip reader opens its archive, and where the archive's input is while it is open.
struct ArchiveInputSlot {
    bool hashed = false;
    ArchiveInput* input = nullptr;
};

class ArchiveInput {
  public:
    ArchiveInput(std::unique_ptr<FileStream> archiveFile, bool hashed);

    // minizip's file functions.
    std::size_t Read(void* buffer, std::size_t size);
    Win32Error Seek(std::int64_t offset, int origin);
    std::int64_t Tell() const { return static_cast<std::int64_t>(position); }
    Win32Error Error() const { return file->Error(); }
    Win32Error Close() { return file->Close(); }

    // Up to `size` bytes from `offset`, valid until the next call; empty at the end of the file
    // or when it cannot be read.
    std::span<const char> ReadAt(std::uint64_t offset, std::size_t size);
    // Up to `size` bytes from `offset` into `destination`, read straight into it past the
    // blocks and hashed from there on the second thread: `destination` must stay unchanged until
    // the next call. The count read; short at the end of the file or when it cannot be read.
    std::size_t ReadInto(std::uint64_t offset, char* destination, std::size_t size);
    // Returns once the last destination is hashed: it may then change or go.
    void ReleaseDestination();

    // Reads and hashes the rest of the file; nothing when the file could not be read whole.
    std::optional<ArchiveFingerprint> FinishDigest();

  private:
    std::size_t ReadFromFile(std::uint64_t offset, char* buffer, std::size_t size);
    bool ReadNextBlock();
    std::span<const char> HashedBytesAt(std::uint64_t offset, std::size_t size);

    std::unique_ptr<FileStream> file;
    std::optional<OverlappedSha1> digest;
    std::vector<char> spare;         // what `ReadAt` reads outside the hashed blocks
    std::uint64_t position = 0;      // where minizip reads next
    std::uint64_t filePosition = 0;  // where the file stands
    std::uint64_t hashedUpTo = 0;    // the end of the bytes handed to the digest
    std::span<const char> block;     // the last block read, ending at hashedUpTo
    bool unreadable = false;         // a read or seek failed: no digest
};

}  // namespace parvane
