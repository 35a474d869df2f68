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

constexpr std::uint32_t ZIP64_MARK = 0xFFFFFFFF;

std::string ExtraField(std::uint16_t id, const ZipBytes& data) {
    ZipBytes field;
    PutFields(field, {{id, 2}, {data.size(), 2}});
    field.insert(field.end(), data.begin(), data.end());
    return std::string(field.begin(), field.end());
}

}  // namespace

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

std::string UnicodePathExtra(const std::string& storedName, const std::string& utf8Name) {
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(storedName.data()),
                            static_cast<uInt>(storedName.size()));
    ZipBytes data;
    PutFields(data, {{1, 1}, {crc, 4}});
    data.insert(data.end(), utf8Name.begin(), utf8Name.end());
    return ExtraField(0x7075, data);
}

namespace {

// One header's fields from the version needed to the extra field's length. In a zip64
// archive the local header leaves the sizes to its zip64 extra field, as a packer writing to a
// stream does; the central header holds them while they fit.
ZipBytes HeaderFields(const ZipFileEntry& entry, bool zip64, std::uint64_t crc,
                      std::uint64_t packedSize, std::uint64_t extraSize, bool local) {
    const bool deferred = local && (entry.flags & ZIP_DATA_DESCRIPTOR) != 0;
    const bool inExtra = zip64 && local;
    const std::uint64_t packed = inExtra ? ZIP64_MARK : deferred ? 0 : packedSize;
    const std::uint64_t size = inExtra ? ZIP64_MARK : deferred ? 0 : entry.data.size();
    ZipBytes fields;
    PutFields(fields, {{zip64 ? 45 : 20, 2},
                       {entry.flags, 2},
                       {entry.method == ZipMethod::Stored ? 0 : Z_DEFLATED, 2},
                       {0x5A210000, 4}});  // dated in 2025
    PutFields(fields, {{deferred ? 0 : crc, 4}, {packed, 4}, {size, 4}});
    PutFields(fields, {{entry.name.size(), 2}, {extraSize, 2}});
    return fields;
}

void PutZip64End(ZipBytes& archive, std::size_t count, std::size_t centralSize,
                 std::size_t centralOffset) {
    const std::size_t recordOffset = archive.size();
    PutFields(archive, {{0x06064B50, 4}, {44, 8}, {45, 2}, {45, 2}, {0, 4}, {0, 4}});
    PutFields(archive, {{count, 8}, {count, 8}, {centralSize, 8}, {centralOffset, 8}});
    PutFields(archive, {{0x07064B50, 4}, {0, 4}, {recordOffset, 8}, {1, 4}});
}

}  // namespace

// Every entry dated in 2025, without entry comments.
ZipBytes ZipArchiveBytes(const std::vector<ZipFileEntry>& entries, const ZipLayout& layout) {
    ZipBytes archive;
    ZipBytes central;
    for (const ZipFileEntry& entry : entries) {
        const bool stored = entry.method == ZipMethod::Stored;
        const std::string data = stored ? entry.data : Deflated(entry.data);
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()),
                                static_cast<uInt>(entry.data.size()));
        std::string localExtra = entry.extra;
        const std::string& centralExtra = entry.extra;
        if (layout.zip64) {
            ZipBytes sizes;
            PutFields(sizes, {{entry.data.size(), 8}, {data.size(), 8}});
            localExtra += ExtraField(0x0001, sizes);
        }
        const ZipBytes centralFields =
            HeaderFields(entry, layout.zip64, crc, data.size(), centralExtra.size(), false);
        PutFields(central, {{0x02014B50, 4}, {entry.madeBy, 2}});
        central.insert(central.end(), centralFields.begin(), centralFields.end());
        PutFields(central, {{0, 6}, {entry.externalAttributes, 4}});  // no comment
        PutFields(central, {{archive.size(), 4}});
        PutText(central, entry.name);
        PutText(central, centralExtra);
        const ZipBytes localFields =
            HeaderFields(entry, layout.zip64, crc, data.size(), localExtra.size(), true);
        PutFields(archive, {{0x04034B50, 4}});
        archive.insert(archive.end(), localFields.begin(), localFields.end());
        PutText(archive, entry.name);
        PutText(archive, localExtra);
        PutText(archive, data);
        if ((entry.flags & ZIP_DATA_DESCRIPTOR) != 0) {
            PutFields(archive,
                      {{0x08074B50, 4}, {crc, 4}, {data.size(), 4}, {entry.data.size(), 4}});
        }
    }
    const std::size_t centralOffset = archive.size();
    archive.insert(archive.end(), central.begin(), central.end());
    if (layout.zip64) {
        PutZip64End(archive, entries.size(), central.size(), centralOffset);
    }
    const std::uint64_t count = layout.zip64 ? 0xFFFF : entries.size();
    PutFields(archive, {{0x06054B50, 4}, {0, 4}, {count, 2}, {count, 2}});
    PutFields(archive, {{layout.zip64 ? ZIP64_MARK : central.size(), 4}});
    PutFields(archive, {{layout.zip64 ? ZIP64_MARK : centralOffset, 4}});
    PutFields(archive, {{layout.comment.size(), 2}});
    PutText(archive, layout.comment);
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
