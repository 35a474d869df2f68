#pragma once

// The archive file as minizip reads it. Unhashed, every read goes straight to the file. Hashed,
// the entries' headers and data are read in large blocks in file order and handed to a second
// thread for the archive's SHA-1 while minizip takes its bytes from them; bytes minizip skips
// are read on the way, and what follows the last entry at the end. So the archive is read once
// for its unpacking and for the record of what its installation placed, in few system calls.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

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

    std::size_t Read(void* buffer, std::size_t size);
    Win32Error Seek(std::int64_t offset, int origin);
    std::int64_t Tell() const { return static_cast<std::int64_t>(position); }
    Win32Error Error() const { return file->Error(); }
    Win32Error Close() { return file->Close(); }

    // Between these calls minizip reads one entry's local header and data, which lie in file
    // order; everything else it reads (the central directory) is read past the blocks.
    void BeginEntryData() { inEntryData = true; }
    void EndEntryData() { inEntryData = false; }

    // Reads and hashes the rest of the file; nothing when the file could not be read whole.
    std::optional<ArchiveFingerprint> FinishDigest();

  private:
    std::size_t ReadFromFile(std::uint64_t offset, char* buffer, std::size_t size);
    bool ReadNextBlock();

    std::unique_ptr<FileStream> file;
    std::optional<OverlappedSha1> digest;
    std::uint64_t position = 0;      // where minizip reads next
    std::uint64_t filePosition = 0;  // where the file stands
    std::uint64_t hashedUpTo = 0;    // the end of the bytes handed to the digest
    std::span<const char> block;     // the last block read, ending at hashedUpTo
    bool inEntryData = false;
    bool unreadable = false;  // a read or seek failed: no digest
};

}  // namespace parvane
