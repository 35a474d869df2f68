#include "archive/WholeEntry.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <new>

#include "archive/ZipReader.h"
#include "platform/MemoryPages.h"

namespace parvane {

namespace {

// New memory at least this large is given its pages ahead (TakePages).
constexpr std::size_t PAGES_AHEAD_MIN_SIZE = std::size_t{16} << 20;

struct DecompressorFree {
    void operator()(libdeflate_decompressor* freed) const { libdeflate_free_decompressor(freed); }
};

}  // namespace

std::unique_ptr<WholeEntry> WholeEntry::Make(const EntryDataPlace& place) {
    std::unique_ptr<WholeEntry> entry(new WholeEntry(place));
    entry->compressed.reset(new (std::nothrow) char[place.compressedSize]);
    entry->inflated.reset(new (std::nothrow) char[place.uncompressedSize]);
    if (!entry->compressed || !entry->inflated) {
        return nullptr;
    }
    return entry;
}

bool WholeEntry::HasLargeOutput() const {
    return place.uncompressedSize >= PAGES_AHEAD_MIN_SIZE;
}

void WholeEntry::TakeOutputPages() {
    TakePages({inflated.get(), static_cast<std::size_t>(place.uncompressedSize)});
}

void WholeEntry::Gather(ArchiveInput& input) {
    const auto size = static_cast<std::size_t>(place.compressedSize);
    if (size >= PAGES_AHEAD_MIN_SIZE) {
        TakePages({compressed.get(), size});
    }
    gathered = input.ReadInto(place.offset, compressed.get(), size);
}

void WholeEntry::Inflate() {
    const std::unique_ptr<libdeflate_decompressor, DecompressorFree> decompressor(
        libdeflate_alloc_decompressor());
    std::size_t produced = 0;
    if (decompressor && libdeflate_deflate_decompress(
                            decompressor.get(), compressed.get(), gathered, inflated.get(),
                            place.uncompressedSize, &produced) == LIBDEFLATE_SUCCESS) {
        inflatedSize = produced;
        end = ZIPCODE_OK;
        return;
    }
    InflateWithZlib();
}

// Block by block, as a streamed entry is read: a block that fails delivers none of its bytes,
// and compressed data cut short by the archive's end fails as a read of the archive would.
void WholeEntry::InflateWithZlib() {
    z_stream stream{};
    if (const int result = inflateInit2(&stream, -MAX_WBITS); result != Z_OK) {
        end = result;
        return;
    }
    stream.next_in = reinterpret_cast<Bytef*>(compressed.get());
    stream.avail_in = static_cast<uInt>(gathered);
    const bool cutShort = gathered < place.compressedSize;
    const auto declared = static_cast<std::size_t>(place.uncompressedSize);
    end = ZIPCODE_OK;
    while (inflatedSize < declared && end == ZIPCODE_OK) {
        const std::size_t blockEnd = std::min(declared, inflatedSize + ZIP_DATA_BLOCK_SIZE);
        stream.next_out = reinterpret_cast<Bytef*>(inflated.get() + inflatedSize);
        stream.avail_out = static_cast<uInt>(blockEnd - inflatedSize);
        int result = Z_OK;
        while (stream.avail_out > 0 && result == Z_OK) {
            if (stream.avail_in == 0 && cutShort) {
                result = ZIPCODE_READ_ERROR;
                break;
            }
            result = inflate(&stream, Z_SYNC_FLUSH);
            if (result >= 0 && stream.msg != nullptr) {
                result = Z_DATA_ERROR;
            }
        }
        if (result == Z_OK || result == Z_STREAM_END) {
            inflatedSize = blockEnd - stream.avail_out;
        }
        if (result == Z_STREAM_END) {
            break;
        }
        end = result;
    }
    inflateEnd(&stream);
}

}  // namespace parvane
