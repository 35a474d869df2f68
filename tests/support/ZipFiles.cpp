#include "support/ZipFiles.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <cstring>

#include "platform/Machine.h"
#include "support/ContentFiles.h"

namespace parvane::test {

namespace {

// The archive under construction: minizip writes, seeks back and rewrites headers in it.
struct MemoryFile {
    ZipBytes bytes;
    std::size_t position = 0;
};

MemoryFile& FileOf(voidpf stream) {
    return *static_cast<MemoryFile*>(stream);
}

voidpf ZCALLBACK OpenMemory(voidpf opaque, const void*, int) {
    return opaque;
}

uLong ZCALLBACK ReadMemory(voidpf, voidpf stream, void* buffer, uLong size) {
    MemoryFile& file = FileOf(stream);
    const std::size_t count = std::min<std::size_t>(size, file.bytes.size() - file.position);
    std::memcpy(buffer, file.bytes.data() + file.position, count);
    file.position += count;
    return static_cast<uLong>(count);
}

uLong ZCALLBACK WriteMemory(voidpf, voidpf stream, const void* data, uLong size) {
    MemoryFile& file = FileOf(stream);
    if (file.bytes.size() < file.position + size)
        file.bytes.resize(file.position + size);
    std::memcpy(file.bytes.data() + file.position, data, size);
    file.position += size;
    return size;
}

ZPOS64_T ZCALLBACK TellMemory(voidpf, voidpf stream) {
    return FileOf(stream).position;
}

long ZCALLBACK SeekMemory(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    MemoryFile& file = FileOf(stream);
    const std::size_t base = origin == ZLIB_FILEFUNC_SEEK_SET   ? 0
                             : origin == ZLIB_FILEFUNC_SEEK_CUR ? file.position
                                                                : file.bytes.size();
    file.position = base + static_cast<std::size_t>(offset);
    return 0;
}

int ZCALLBACK CloseMemory(voidpf, voidpf) {
    return 0;
}
int ZCALLBACK ErrorMemory(voidpf, voidpf) {
    return 0;
}

void AddEntry(zipFile zip, const ZipFileEntry& entry) {
    zip_fileinfo info{};
    info.dosDate = 0x5A210000;  // a fixed date in 2025
    const int method = entry.method == ZipMethod::Stored ? 0 : Z_DEFLATED;
    ASSERT_EQ(zipOpenNewFileInZip64(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                    method, Z_DEFAULT_COMPRESSION, 0),
              ZIP_OK)
        << entry.name;
    if (!entry.data.empty()) {
        ASSERT_EQ(
            zipWriteInFileInZip(zip, entry.data.data(), static_cast<unsigned>(entry.data.size())),
            ZIP_OK);
    }
    ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
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
constexpr std::size_t LOCAL_HEADER_SIZE = 30;

// The offsets of entry `index`'s central and local headers (archives without a comment).
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

// Writes a field found at `centralOffset` in the central header and `localOffset` in the
// local one.
void PatchBoth(ZipBytes& bytes, std::size_t index, std::size_t centralOffset,
               std::size_t localOffset, std::uint32_t value, int width) {
    const EntryHeaders headers = FindEntry(bytes, index);
    WriteLittle(bytes, headers.central + centralOffset, value, width);
    WriteLittle(bytes, headers.local + localOffset, value, width);
}

}  // namespace

ZipBytes ZipArchiveBytes(const std::vector<ZipFileEntry>& entries) {
    MemoryFile file;
    zlib_filefunc64_def functions{OpenMemory, ReadMemory,  WriteMemory, TellMemory,
                                  SeekMemory, CloseMemory, ErrorMemory, &file};
    zipFile zip = zipOpen2_64("memory", APPEND_STATUS_CREATE, nullptr, &functions);
    EXPECT_NE(zip, nullptr);
    if (zip == nullptr)
        return {};
    for (const ZipFileEntry& entry : entries)
        AddEntry(zip, entry);
    EXPECT_EQ(zipClose(zip, nullptr), ZIP_OK);
    return file.bytes;
}

bool WriteZipFile(const std::string& path, const ZipBytes& bytes) {
    return WriteFileBytes(path, bytes);
}

bool WriteZipFile(const std::string& path, const std::vector<ZipFileEntry>& entries) {
    return WriteZipFile(path, ZipArchiveBytes(entries));
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

void PatchEntryNameByte(ZipBytes& bytes, std::size_t index, std::size_t position,
                        std::uint8_t value) {
    PatchBoth(bytes, index, CENTRAL_HEADER_SIZE + position, LOCAL_HEADER_SIZE + position, value, 1);
}

std::vector<std::string> FileNamesIn(const std::string& folder) {
    std::vector<FolderEntry> entries;
    const Win32Error error = TheMachine().ListFolder(folder + "\\*.*", entries);
    EXPECT_TRUE(error == ERR_SUCCESS || error == ERR_FILE_NOT_FOUND || error == ERR_PATH_NOT_FOUND)
        << folder << ": " << error;
    std::vector<std::string> names;
    for (const FolderEntry& entry : entries) {
        if ((entry.attributes & ATTR_DIRECTORY) == 0)
            names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace parvane::test
