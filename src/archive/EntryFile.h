#pragma once

// An entry's output file while the entry is unpacked, and what is known of its bytes. The
// bytes may be written on another thread while the next entry is read; `Finish`, once those
// writes are done, reports what went wrong, in the order the checks are made for an entry
// finished on its own: the write, the end of the entry's data, its size, its CRC-32, the close.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "archive/ZipReader.h"
#include "base/OverlappedSha1.h"
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
    void Delivered(std::size_t size) { deliveredBytes += size; }
    void ReadingEnded(int closeResult) { readEnd = closeResult; }

    // The first failure reported, or the file closed and its digest (the entry's bytes, the
    // last added to `digest`) kept for the record of what is placed.
    bool Finish(OverlappedSha1& digest);

  private:
    std::unique_ptr<FileStream> stream;
    std::string fileName;
    std::string outputPath;
    std::uint64_t declaredSize;
    std::uint32_t declaredCrc;
    std::uint64_t deliveredBytes = 0;
    int readEnd = ZIPCODE_OK;
    // Taken by whichever thread writes.
    std::uint32_t crc = 0;
    bool writeFailed = false;
    Win32Error writeError = ERR_SUCCESS;
};

}  // namespace parvane
