#include "support/ZipFiles.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <initializer_list>
#include <utility>

#include "support/ContentFiles.h"

namespace parvane::test {

namespace {

// Appends each value in little-endian order, in the number of bytes paired with it.
void PutFields(ZipBytes& bytes, std::initializer_list<std::pair<std::uint64_t, int>> fields) {
    for (const auto& [value, width] : fields) {
        for (int i = 0; i < width; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }
}

void PutText(ZipBytes& bytes, const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
}

// The data as a raw deflate stream, as zip entries of method 8 hold it.
std::string Deflated(const std::string& data) {
    z_stream stream{};
    EXPECT_EQ(
        deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY),
        Z_OK);
    std::string packed(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    return packed;
}

std::uint32_t ReadLittle(const ZipBytes& bytes, std::size_t offset, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | bytes.at(offset + i);
    return value;
}

void WriteLittle(ZipBytes& bytes, std::size_t offset, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) {
        bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

constexpr std::size_t END_RECORD_SIZE = 22;
constexpr std::size_t CENTRAL_HEADER_SIZE = 46;

// Archives without a comment only.
struct EntryHeaders {
    std::size_t central;
    std::size_t local;
};

EntryHeaders FindEntry(const ZipBytes& bytes, std::size_t index) {
    const std::size_t end = bytes.size() - END_RECORD_SIZE;
    std::size_t central = ReadLittle(bytes, end + 16, 4);
    for (std::size_t i = 0; i < index; ++i) {
        central += CENTRAL_HEADER_SIZE + ReadLittle(bytes, central + 28, 2) +
                   ReadLittle(bytes, central + 30, 2) + ReadLittle(bytes, central + 32, 2);
    }
    EXPECT_EQ(ReadLittle(bytes, central, 4), 0x02014B50u) << "no central header " << index;
    return {central, ReadLittle(bytes, central + 42, 4)};
}

void PatchBoth(ZipBytes& bytes, std::size_t index, std::size_t centralOffset,
               std::size_t localOffset, std::uint32_t value, int width) {
    const EntryHeaders headers = FindEntry(bytes, index);
    WriteLittle(bytes, headers.central + centralOffset, value, width);
    WriteLittle(bytes, headers.local + localOffset, value, width);
}

}  // namespace

// Every entry dated in 2025, without extra fields or comments.
ZipBytes ZipArchiveBytes(const std::vector<ZipFileEntry>& entries) {
    ZipBytes archive;
    ZipBytes central;
    for (const ZipFileEntry& entry : entries) {
        const bool stored = entry.method == ZipMethod::Stored;
        const std::string data = stored ? entry.data : Deflated(entry.data);
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()),
                                static_cast<uInt>(entry.data.size()));
        // Both headers hold these, from the version needed (2.0) to the extra field's length.
        ZipBytes shared;
        PutFields(shared, {{20, 2}, {0, 2}, {stored ? 0 : Z_DEFLATED, 2}, {0x5A210000, 4}});
        PutFields(shared, {{crc, 4}, {data.size(), 4}, {entry.data.size(), 4}});
        PutFields(shared, {{entry.name.size(), 2}, {0, 2}});
        PutFields(central, {{0x02014B50, 4}, {20, 2}});
        central.insert(central.end(), shared.begin(), shared.end());
        PutFields(central, {{0, 6}, {0, 4}, {archive.size(), 4}});  // no comment, attributes
        PutText(central, entry.name);
        PutFields(archive, {{0x04034B50, 4}});
        archive.insert(archive.end(), shared.begin(), shared.end());
        PutText(archive, entry.name);
        PutText(archive, data);
    }
    const std::size_t centralOffset = archive.size();
    archive.insert(archive.end(), central.begin(), central.end());
    PutFields(archive, {{0x06054B50, 4}, {0, 4}, {entries.size(), 2}, {entries.size(), 2}});
    PutFields(archive, {{central.size(), 4}, {centralOffset, 4}, {0, 2}});
    return archive;
}

std::string ZipText(const std::vector<ZipFileEntry>& entries) {
    const ZipBytes bytes = ZipArchiveBytes(entries);
    return std::string(bytes.begin(), bytes.end());
}

bool WriteZipFile(const std::string& path, const ZipBytes& bytes) {
    return WriteFileBytes(path, bytes);
}

bool WriteZipFile(const std::string& path, const std::vector<ZipFileEntry>& entries) {
    return WriteFileBytes(path, ZipArchiveBytes(entries));
}

void PatchEntryFlags(ZipBytes& bytes, std::size_t index, std::uint16_t flags) {
    PatchBoth(bytes, index, 8, 6, flags, 2);
}

void PatchEntryMethod(ZipBytes& bytes, std::size_t index, std::uint16_t method) {
    PatchBoth(bytes, index, 10, 8, method, 2);
}

void PatchEntryCrc(ZipBytes& bytes, std::size_t index, std::uint32_t crc) {
    PatchBoth(bytes, index, 16, 14, crc, 4);
}

void PatchEntryUncompressedSize(ZipBytes& bytes, std::size_t index, std::uint32_t size) {
    PatchBoth(bytes, index, 24, 22, size, 4);
}

}  // namespace parvane::test
