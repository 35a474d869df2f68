#include "archive/ZipReader.h"

#include <unzip.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>

#include "archive/ArchiveInput.h"
#include "archive/UnicodePathExtra.h"
#include "platform/Machine.h"

namespace parvane {

namespace {

ArchiveInput* InputOf(voidpf stream) {
    return static_cast<ArchiveInput*>(stream);
}

ArchiveInputSlot& SlotOf(voidpf opaque) {
    return *static_cast<ArchiveInputSlot*>(opaque);
}

voidpf ZCALLBACK OpenStream(voidpf opaque, const void* path, int mode) {
    // unzip only ever opens an existing archive for reading.
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) {
        return nullptr;
    }
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> stream =
        TheMachine().OpenFile(static_cast<const char*>(path), FileMode::Read, error);
    if (!stream) {
        return nullptr;
    }
    ArchiveInputSlot& slot = SlotOf(opaque);
    slot.input = new ArchiveInput(std::move(stream), slot.hashed);
    return slot.input;
}

uLong ZCALLBACK ReadStream(voidpf, voidpf stream, void* buffer, uLong size) {
    return static_cast<uLong>(InputOf(stream)->Read(buffer, size));
}

uLong ZCALLBACK WriteStream(voidpf, voidpf, const void*, uLong) {
    return 0;
}

ZPOS64_T ZCALLBACK TellStream(voidpf, voidpf stream) {
    return static_cast<ZPOS64_T>(InputOf(stream)->Tell());
}

long ZCALLBACK SeekStream(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    const Win32Error error = InputOf(stream)->Seek(static_cast<std::int64_t>(offset), origin);
    return error == ERR_SUCCESS ? 0 : -1;
}

int ZCALLBACK CloseStream(voidpf opaque, voidpf stream) {
    std::unique_ptr<ArchiveInput> owned(InputOf(stream));
    SlotOf(opaque).input = nullptr;
    return owned->Close() == ERR_SUCCESS ? 0 : -1;
}

int ZCALLBACK StreamError(voidpf, voidpf stream) {
    return InputOf(stream)->Error() == ERR_SUCCESS ? 0 : 1;
}

zlib_filefunc64_def MachineFileFunctions(ArchiveInputSlot& slot) {
    zlib_filefunc64_def functions{};
    functions.zopen64_file = OpenStream;
    functions.zread_file = ReadStream;
    functions.zwrite_file = WriteStream;
    functions.ztell64_file = TellStream;
    functions.zseek64_file = SeekStream;
    functions.zclose_file = CloseStream;
    functions.zerror_file = StreamError;
    functions.opaque = &slot;
    return functions;
}

unzFile Handle(void* handle) {
    return static_cast<unzFile>(handle);
}

}  // namespace

ZipReader::ZipReader(const std::string& archivePath, ArchiveHashing hashing,
                     std::uint64_t wholeInflateLimit)
    : slot{.hashed = hashing == ArchiveHashing::Hashed}, entryData(wholeInflateLimit) {
    zlib_filefunc64_def functions = MachineFileFunctions(slot);
    handle = unzOpen2_64(archivePath.c_str(), &functions);
}

ZipReader::~ZipReader() {
    if (handle != nullptr) {
        unzClose(Handle(handle));
    }
}

int ZipReader::ReadGlobalInfo() {
    unz_global_info64 info{};
    return unzGetGlobalInfo64(Handle(handle), &info);
}

int ZipReader::GoToFirstEntry() {
    return unzGoToFirstFile(Handle(handle));
}

int ZipReader::GoToNextEntry() {
    return unzGoToNextFile(Handle(handle));
}

int ZipReader::ReadEntryInfo(ZipEntryInfo& info) {
    // Cleared before every read: minizip terminates only names shorter than the buffer.
    char name[ZIP_NAME_BUFFER_SIZE] = {};
    unz_file_info64 fileInfo{};
    extraFields.resize(ZIP_EXTRA_FIELDS_MAX_SIZE);
    const int result = unzGetCurrentFileInfo64(Handle(handle), &fileInfo, name, sizeof name - 1,
                                               extraFields.data(),
                                               static_cast<uLong>(extraFields.size()), nullptr, 0);
    if (result != UNZ_OK) {
        return result;
    }
    const std::string stored(name, std::find(name, name + sizeof name - 1, '\0'));
    info.storedNameLength = stored.size();
    info.declaredNameLength = fileInfo.size_filename;
    info.flags = static_cast<std::uint32_t>(fileInfo.flag);
    const std::string_view extra(
        extraFields.data(), std::min<std::size_t>(fileInfo.size_file_extra, extraFields.size()));
    const std::optional<std::string> unicodePath = UnicodePathName(extra, stored);
    const bool isUtf8 = unicodePath.has_value() || (info.flags & ZIP_FLAG_UTF8_NAME) != 0;
    info.nameFits = TheMachine().ArchiveNameToAnsi(unicodePath.value_or(stored), isUtf8,
                                                   info.name) == ERR_SUCCESS;
    info.method = static_cast<std::uint32_t>(fileInfo.compression_method);
    info.uncompressedSize = fileInfo.uncompressed_size;
    info.crc = static_cast<std::uint32_t>(fileInfo.crc);
    return UNZ_OK;
}

// minizip checks the local header and finds the data; the data is read here (EntryData).
int ZipReader::OpenEntryData() {
    int method = 0;
    int level = 0;
    if (const int result = unzOpenCurrentFile2(Handle(handle), &method, &level, 1);
        result != UNZ_OK) {
        return result;
    }
    unz_file_info64 fileInfo{};
    if (const int result =
            unzGetCurrentFileInfo64(Handle(handle), &fileInfo, nullptr, 0, nullptr, 0, nullptr, 0);
        result != UNZ_OK) {
        return result;
    }
    return entryData.Open(*slot.input, {.method = static_cast<std::uint32_t>(method),
                                        .offset = unzGetCurrentFileZStreamPos64(Handle(handle)),
                                        .compressedSize = fileInfo.compressed_size,
                                        .uncompressedSize = fileInfo.uncompressed_size});
}

std::unique_ptr<WholeEntry> ZipReader::TakeWholeEntry() {
    return entryData.TakeWhole();
}

void ZipReader::GatherWholeEntry(WholeEntry& entry) {
    entry.Gather(*slot.input);
}

void ZipReader::ReleaseGathered() {
    if (slot.input != nullptr) {
        slot.input->ReleaseDestination();
    }
}

int ZipReader::ReadEntryData(void* buffer, std::size_t size) {
    return entryData.Read(static_cast<char*>(buffer), size);
}

int ZipReader::CloseEntryData() {
    return unzCloseCurrentFile(Handle(handle));
}

std::optional<ArchiveFingerprint> ZipReader::FinishDigest() {
    return slot.input != nullptr ? slot.input->FinishDigest() : std::nullopt;
}

}  // namespace parvane
