#pragma once

// An entry's output file while the entry is unpacked, and what is known of its bytes. The
// bytes may be written on another thread while the next entries are read; `Finish`, once those
// writes are done, reports what went wrong, in the order the checks are made for an entry
// finished on its own: the write, the reading of the entry's data, the end of that data, its
// size, its CRC-32, the close.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "archive/ZipReader.h"
#include "base/Sha1.h"
#include "platform/Machine.h"

namespace parvane {

class EntryFile {
  public:
    EntryFile(std::unique_ptr<FileStream> openStream, const ZipEntryInfo& info,
              std::string entryFileName, std::string entryOutputPath);
    ~EntryFile();
    EntryFile(const EntryFile&) = delete;
    EntryFile& operator=(const EntryFile&) = delete;

    // Takes the bytes' CRC-32 and writes them; after a failed write, nothing more is written.
    void Write(const char* bytes, std::size_t size);
    // Only while no write runs on another thread.
    bool WriteFailed() const { return writeFailed; }
    void ShowWriteError() const;
    void ShowReadError(int readResult) const;
    void Delivered(std::size_t size) { deliveredBytes += size; }
    // A read of the entry's data that failed, with its code, after the bytes delivered.
    void ReadingFailed(int readResult) { readError = readResult; }
    void ReadingEnded(int closeResult) { readEnd = closeResult; }

    // The first failure reported, or the file closed and the digest of its bytes kept for the
    // record of what is placed.
    bool Finish(const Sha1Digest& digest);

  private:
    std::unique_ptr<FileStream> stream;
    std::string fileName;
    std::string outputPath;
    std::uint64_t declaredSize;
    std::uint32_t declaredCrc;
    std::uint64_t deliveredBytes = 0;
    int readError = ZIPCODE_OK;
    int readEnd = ZIPCODE_OK;
    // Taken by whichever thread writes.
    std::uint32_t crc = 0;
    bool writeFailed = false;
    Win32Error writeError = ERR_SUCCESS;
};

}  // namespace parvane
