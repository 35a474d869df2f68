#include "archive/EntryData.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <span>

#include "archive/ZipReader.h"
#include "base/WorkerQueue.h"

namespace parvane {

namespace {

constexpr std::size_t INPUT_SIZE = std::size_t{1} << 20;
// zlib takes the gathered bytes of a whole entry in one go when libdeflate refuses them.
constexpr std::uint64_t ZLIB_INPUT_MAX = std::numeric_limits<uInt>::max();
// New memory at least this large has its pages touched ahead of the inflating.
constexpr std::size_t TOUCH_MIN_SIZE = std::size_t{16} << 20;
constexpr std::size_t PAGE_SIZE = 4096;

void TouchPages(std::span<char> memory) {
    for (std::size_t at = 0; at < memory.size(); at += PAGE_SIZE) {
        memory[at] = 0;
    }
}

}  // namespace

bool EntryData::ReusedBuffer::Reserve(std::size_t size) {
    if (size > capacity) {
        bytes.reset();
        capacity = 0;
        bytes.reset(new (std::nothrow) char[size]);
        if (!bytes) {
            return false;
        }
        capacity = size;
    }
    return true;
}

void EntryData::DecompressorFree::operator()(libdeflate_decompressor* freed) const {
    libdeflate_free_decompressor(freed);
}

EntryData::EntryData(std::uint64_t wholeInflateLimit)
    : wholeLimit(std::min(wholeInflateLimit, ZLIB_INPUT_MAX)) {}

EntryData::~EntryData() {
    if (inflaterReady) {
        inflateEnd(&stream);
    }
}

// The two sizes are declared by the archive: neither may wrap the sum around.
bool EntryData::FitsWholeInflate(const EntryDataPlace& place) const {
    return place.method == ZIP_METHOD_DEFLATED && place.compressedSize <= wholeLimit &&
           place.uncompressedSize <= wholeLimit - place.compressedSize;
}

int EntryData::Open(ArchiveInput& archive, const EntryDataPlace& place) {
    if (place.method != ZIP_METHOD_STORED && place.method != ZIP_METHOD_DEFLATED) {
        return ZIPCODE_BAD_ARCHIVE;
    }
    input = &archive;
    data = place;
    compressedLeft = place.compressedSize;
    uncompressedLeft = place.uncompressedSize;
    stream.next_in = nullptr;
    stream.avail_in = 0;
    way = FitsWholeInflate(place) ? Way::WholeAtFirstRead : Way::Stream;
    if (place.method == ZIP_METHOD_DEFLATED) {
        // Raw deflate: a zip entry has no zlib header.
        const int result =
            inflaterReady ? inflateReset(&stream) : inflateInit2(&stream, -MAX_WBITS);
        if (result != Z_OK) {
            return result;
        }
        inflaterReady = true;
    }
    return ZIPCODE_OK;
}

// The next compressed bytes, never past the entry's data; empty when the archive ends there or
// cannot be read.
std::span<const char> EntryData::NextCompressed() {
    const std::span<const char> bytes = input->ReadAt(
        data.offset + (data.compressedSize - compressedLeft),
        static_cast<std::size_t>(std::min<std::uint64_t>(compressedLeft, INPUT_SIZE)));
    compressedLeft -= bytes.size();
    return bytes;
}

bool EntryData::TakeInput() {
    const std::span<const char> bytes = NextCompressed();
    if (bytes.empty()) {
        return false;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    return true;
}

// One call of inflate; Z_OK while there is more to come.
int EntryData::Inflate(std::size_t& delivered) {
    const uInt before = stream.avail_out;
    int result = inflate(&stream, Z_SYNC_FLUSH);
    if (result >= 0 && stream.msg != nullptr) {
        result = Z_DATA_ERROR;
    }
    delivered += before - stream.avail_out;
    uncompressedLeft -= before - stream.avail_out;
    return result;
}

int EntryData::ReadStream(char* buffer, std::size_t size) {
    const auto wanted =
        static_cast<uInt>(std::min<std::uint64_t>({size, uncompressedLeft, ZIP_DATA_BLOCK_SIZE}));
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = wanted;
    std::size_t delivered = 0;
    while (stream.avail_out > 0) {
        if (stream.avail_in == 0 && compressedLeft > 0 && !TakeInput()) {
            return ZIPCODE_READ_ERROR;
        }
        if (data.method == ZIP_METHOD_STORED) {
            if (stream.avail_in == 0) {
                break;
            }
            const uInt count = std::min(stream.avail_out, stream.avail_in);
            std::memcpy(stream.next_out, stream.next_in, count);
            stream.next_out += count;
            stream.next_in += count;
            stream.avail_out -= count;
            stream.avail_in -= count;
            delivered += count;
            uncompressedLeft -= count;
            continue;
        }
        const int result = Inflate(delivered);
        if (result == Z_STREAM_END) {
            break;
        }
        if (result != Z_OK) {
            return result;
        }
    }
    return static_cast<int>(delivered);
}

// As much of the compressed data as the archive holds, in the order of the archive's reads.
std::size_t EntryData::GatherCompressed() {
    const std::size_t gathered = input->ReadInto(data.offset, compressed.bytes.get(),
                                                 static_cast<std::size_t>(data.compressedSize));
    compressedLeft -= gathered;
    return gathered;
}

// Without the memory for it, the entry streams. Data that ends early is delivered as far as it
// goes, as the stream delivers it: the caller compares the count with the declared size.
void EntryData::InflateWhole() {
    way = Way::Stream;
    const auto compressedSize = static_cast<std::size_t>(data.compressedSize);
    const auto declaredSize = static_cast<std::size_t>(data.uncompressedSize);
    if (!decompressor) {
        decompressor.reset(libdeflate_alloc_decompressor());
    }
    // The last entry's compressed bytes may still be being hashed where a larger buffer would
    // take their place.
    input->ReleaseDestination();
    inflatedTurn = 1 - inflatedTurn;
    ReusedBuffer& output = inflated[inflatedTurn];
    const bool newMemory = output.capacity < declaredSize;
    if (!decompressor || !compressed.Reserve(compressedSize) || !output.Reserve(declaredSize)) {
        return;
    }
    // The pages of large new memory are touched on another thread while the compressed bytes
    // are read: the kernel then gives them there, not one by one under the inflating.
    WorkerQueue toucher;
    if (newMemory && declaredSize >= TOUCH_MIN_SIZE) {
        toucher.Post(
            [memory = std::span(output.bytes.get(), declaredSize)] { TouchPages(memory); });
    }
    const std::size_t gathered = GatherCompressed();
    toucher.Wait();
    std::size_t produced = 0;
    if (libdeflate_deflate_decompress(decompressor.get(), compressed.bytes.get(), gathered,
                                      output.bytes.get(), declaredSize,
                                      &produced) == LIBDEFLATE_SUCCESS) {
        way = Way::Whole;
        inflatedSize = produced;
        served = 0;
        return;
    }
    // zlib inflates the same bytes, and reads on from the archive where the gathering stopped.
    stream.next_in = reinterpret_cast<Bytef*>(compressed.bytes.get());
    stream.avail_in = static_cast<uInt>(gathered);
}

int EntryData::ReadInflated(std::size_t size, const char*& bytes) {
    const std::size_t count = std::min({size, inflatedSize - served, ZIP_DATA_BLOCK_SIZE});
    bytes = inflated[inflatedTurn].bytes.get() + served;
    served += count;
    return static_cast<int>(count);
}

int EntryData::Read(char* buffer, std::size_t size, const char*& bytes) {
    if (way == Way::WholeAtFirstRead) {
        InflateWhole();
    }
    if (way == Way::Whole) {
        return ReadInflated(size, bytes);
    }
    bytes = buffer;
    return ReadStream(buffer, size);
}

}  // namespace parvane
