#pragma once

// A deflated entry inflated in one call of libdeflate, which inflates more than twice as fast
// as zlib, so that it may inflate on any thread while the reader goes on to the next entries.
// Its memory is taken first, its compressed bytes are then gathered on the reader's thread, in
// archive order. Data that libdeflate refuses is inflated again by zlib as a streamed entry is,
// so that damaged data gives the bytes and the code that the streamed entry gives.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "archive/ArchiveInput.h"
#include "archive/EntryData.h"

namespace parvane {

class WholeEntry {
  public:
    // Null without the memory for both the compressed and the inflated bytes.
    static std::unique_ptr<WholeEntry> Make(const EntryDataPlace& place);

    // The bytes the entry holds in memory until it goes.
    std::uint64_t HeldSize() const { return place.compressedSize + place.uncompressedSize; }
    // Whether the inflated bytes' memory is worth giving its pages ahead (`TakeOutputPages`).
    bool HasLargeOutput() const;
    // Gives the inflated bytes' memory its pages here, on another thread, rather than one by
    // one under the inflating.
    void TakeOutputPages();
    // As much of the compressed data as the archive holds. The bytes stay in `input`'s hashing
    // until its next read or `ReleaseDestination`: the entry must not go before. Large memory
    // for them is given its pages first, which is cheaper than faulting them in as they are read.
    void Gather(ArchiveInput& input);
    void Inflate();

    // After `Inflate`: the bytes delivered, never more than the declared size, and how the data
    // ended: 0, or below 0 the streamed entry's error code after the same bytes.
    std::span<const char> Bytes() const { return {inflated.get(), inflatedSize}; }
    int End() const { return end; }

  private:
    explicit WholeEntry(const EntryDataPlace& entryPlace) : place(entryPlace) {}
    void InflateWithZlib();

    EntryDataPlace place;
    std::unique_ptr<char[]> compressed;
    std::unique_ptr<char[]> inflated;
    std::size_t gathered = 0;
    std::size_t inflatedSize = 0;
    int end = 0;
};

}  // namespace parvane
