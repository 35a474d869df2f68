#include "archive/EntryData.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <span>

#include "archive/WholeEntry.h"
#include "archive/ZipReader.h"

namespace parvane {

namespace {

constexpr std::size_t INPUT_SIZE = std::size_t{1} << 20;
// zlib takes the gathered bytes of a whole entry in one go when libdeflate refuses them.
constexpr std::uint64_t ZLIB_INPUT_MAX = std::numeric_limits<uInt>::max();

}  // namespace

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

std::unique_ptr<WholeEntry> EntryData::TakeWhole() {
    return FitsWholeInflate(data) ? WholeEntry::Make(data) : nullptr;
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

int EntryData::Read(char* buffer, std::size_t size) {
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

}  // namespace parvane
