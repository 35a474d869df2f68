#pragma once

// One entry's data, stored or deflated, read from the archive input by the program itself rather
// than by minizip, which would copy it once more and take its CRC-32 on the unpacking thread: the
// caller checks the CRC-32 while it hashes the bytes on another. The results are minizip's:
// above 0 the bytes delivered, 0 the end of the data, below 0 an error (-1 when the archive ends
// or cannot be read, zlib's codes for damaged compressed data). Never more than the declared
// size is delivered, and no byte after the entry's compressed data is read.
//
// A deflated entry that fits the whole-entry limit is inflated at its first read in one call
// of libdeflate, which inflates more than twice as fast as zlib; larger entries stream through
// zlib block by block. Data that libdeflate refuses is handed to zlib as it stands, so damaged
// data gives zlib's codes, after the bytes zlib would deliver, on either way.

#include <zlib.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "archive/ArchiveInput.h"

struct libdeflate_decompressor;

namespace parvane {

// A deflated entry inflated whole holds its compressed and its inflated bytes in memory at
// once, and a hostile archive declares any sizes: their sum is capped here. Above it, an entry
// streams, and the memory it takes is two blocks. The inflated bytes of the entry before may
// still be held beside them.
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
    // The bytes delivered are at `bytes`: in `buffer`, or, for an entry inflated whole, in
    // this object's memory, unchanged until the entry after the next one is opened: entries
    // inflated whole take turns between two buffers, so that the caller may still hash one
    // entry's bytes while the next one inflates.
    int Read(char* buffer, std::size_t size, const char*& bytes);

  private:
    // Kept from entry to entry of the archive: the pages of a large buffer are touched once.
    struct ReusedBuffer {
        std::unique_ptr<char[]> bytes;
        std::size_t capacity = 0;
        bool Reserve(std::size_t size);
    };
    struct DecompressorFree {
        void operator()(libdeflate_decompressor* decompressor) const;
    };
    enum class Way { Stream, WholeAtFirstRead, Whole };

    bool FitsWholeInflate(const EntryDataPlace& place) const;
    std::span<const char> NextCompressed();
    bool TakeInput();
    int Inflate(std::size_t& delivered);
    int ReadStream(char* buffer, std::size_t size);
    std::size_t GatherCompressed();
    void InflateWhole();
    int ReadInflated(std::size_t size, const char*& bytes);

    ArchiveInput* input = nullptr;
    EntryDataPlace data;
    std::uint64_t compressedLeft = 0;
    std::uint64_t uncompressedLeft = 0;
    z_stream stream{};
    bool inflaterReady = false;

    std::uint64_t wholeLimit;
    Way way = Way::Stream;
    std::unique_ptr<libdeflate_decompressor, DecompressorFree> decompressor;
    ReusedBuffer compressed;
    std::array<ReusedBuffer, 2> inflated;
    std::size_t inflatedTurn = 0;  // the buffer of the last entry inflated whole
    std::size_t inflatedSize = 0;
    std::size_t served = 0;
};

}  // namespace parvane
