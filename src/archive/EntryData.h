#pragma once

// One entry's data, stored or deflated, read from the archive input by the program itself rather
// than by minizip, which would copy it once more and take its CRC-32 on the unpacking thread: the
// caller checks the CRC-32 while it hashes the bytes on another. The results are minizip's:
// above 0 the bytes delivered, 0 the end of the data, below 0 an error (-1 when the archive ends
// or cannot be read, zlib's codes for damaged compressed data). Never more than the declared
// size is delivered, and no byte after the entry's compressed data is read.

#include <zlib.h>

#include <cstddef>
#include <cstdint>

#include "archive/ArchiveInput.h"

namespace parvane {

struct EntryDataPlace {
    std::uint32_t method = 0;  // stored or deflated
    std::uint64_t offset = 0;  // of the compressed data in the archive
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
};

class EntryData {
  public:
    EntryData() = default;
    ~EntryData();
    EntryData(const EntryData&) = delete;
    EntryData& operator=(const EntryData&) = delete;

    int Open(ArchiveInput& archive, const EntryDataPlace& place);
    int Read(char* buffer, std::size_t size);

  private:
    bool TakeInput();
    int Inflate(std::size_t& delivered);

    ArchiveInput* input = nullptr;
    EntryDataPlace data;
    std::uint64_t compressedLeft = 0;
    std::uint64_t uncompressedLeft = 0;
    z_stream stream{};
    bool inflaterReady = false;
};

}  // namespace parvane
