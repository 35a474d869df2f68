#pragma once

// One entry's data, stored or deflated, read from the archive input by the program itself rather
// than by minizip, which would copy it once more and take its CRC-32 on the unpacking thread: the
// caller checks the CRC-32 while it hashes the bytes on another. The results are minizip's:
// above 0 the bytes delivered, 0 the end of the data, below 0 an error (-1 when the archive ends
// or cannot be read, zlib's codes for damaged compressed data). Never more than the declared
// size is delivered, and no byte after the entry's compressed data is read.
//
// A deflated entry that fits the whole-entry limit is taken out whole (WholeEntry) by the caller
// that asks for it; the others stream through zlib block by block.

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "archive/ArchiveInput.h"

namespace parvane {

class WholeEntry;

// A deflated entry inflated whole holds its compressed and its inflated bytes in memory at
// once, and a hostile archive declares any sizes: their sum is capped here. Above it, an entry
// streams, and the memory it takes is two blocks.
inline constexpr std::uint64_t WHOLE_INFLATE_LIMIT = std::uint64_t{256} << 20;

struct EntryDataPlace {
    std::uint32_t method = 0;  // stored or deflated
    std::uint64_t offset = 0;  // of the compressed data in the archive
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
};

class EntryData {
  public:
    explicit EntryData(std::uint64_t wholeInflateLimit = WHOLE_INFLATE_LIMIT);
    ~EntryData();
    EntryData(const EntryData&) = delete;
    EntryData& operator=(const EntryData&) = delete;

    int Open(ArchiveInput& archive, const EntryDataPlace& place);
    // The entry opened, when it fits the whole-entry limit and its memory can be had: from
    // then on the entry is the caller's to gather and inflate, and not read here. Null for an
    // entry that streams.
    std::unique_ptr<WholeEntry> TakeWhole();
    int Read(char* buffer, std::size_t size);

  private:
    bool FitsWholeInflate(const EntryDataPlace& place) const;
    std::span<const char> NextCompressed();
    bool TakeInput();
    int Inflate(std::size_t& delivered);

    ArchiveInput* input = nullptr;
    EntryDataPlace data;
    std::uint64_t compressedLeft = 0;
    std::uint64_t uncompressedLeft = 0;
    z_stream stream{};
    bool inflaterReady = false;

    std::uint64_t wholeLimit;
};

}  // namespace parvane
