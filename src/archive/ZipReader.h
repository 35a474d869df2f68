#pragma once

// One zip archive open for reading: minizip's unzip interface reads the directory and the
// local headers, EntryData the entries' data. The archive file is read through the machine's
// file streams, so archive paths are Windows paths like every other. Results are minizip's
// return codes (0 UNZ_OK, -100 end of list, -102 parameter error, -103 bad archive, -105 CRC
// error).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/ArchiveInput.h"
#include "archive/EntryData.h"
#include "archive/WholeEntry.h"

namespace parvane {

inline constexpr int ZIPCODE_OK = 0;
inline constexpr int ZIPCODE_READ_ERROR = -1;
inline constexpr int ZIPCODE_END_OF_LIST = -100;
inline constexpr int ZIPCODE_PARAMETER_ERROR = -102;
inline constexpr int ZIPCODE_BAD_ARCHIVE = -103;
inline constexpr int ZIPCODE_CRC_ERROR = -105;

// The names the program handles are at most 255 characters. minizip reads an entry's stored
// name into a buffer of this size: room for 255 letters stored as UTF-8, each decomposed into
// a letter and a combining mark, as macOS stores them.
inline constexpr std::size_t ZIP_NAME_BUFFER_SIZE = 1024;
// An entry's extra fields run to at most this many bytes (a 16-bit length).
inline constexpr std::size_t ZIP_EXTRA_FIELDS_MAX_SIZE = 0xFFFF;
// Flag bit 11: the name is UTF-8; without it, the packer's OEM code page.
inline constexpr std::uint32_t ZIP_FLAG_UTF8_NAME = 0x0800;
// Entry data is copied in blocks of this size, and never held beyond one block. A large block
// keeps the calls per byte few: a course file runs to hundreds of megabytes.
inline constexpr std::size_t ZIP_DATA_BLOCK_SIZE = std::size_t{1} << 20;

inline constexpr std::uint32_t ZIP_FLAG_ENCRYPTED = 0x0001;
inline constexpr std::uint32_t ZIP_METHOD_STORED = 0;
inline constexpr std::uint32_t ZIP_METHOD_DEFLATED = 8;

struct ZipEntryInfo {
    // The name in code page 1252, composed (TheMachine().ArchiveNameToAnsi), taken from a
    // matching Unicode Path extra field where the entry has one; when nameFits is
    // false, with '?' for each character that code page cannot hold.
    std::string name;
    bool nameFits = true;
    // The stored name's length in bytes, cut at the first NUL or at the end of the buffer, and
    // as the archive declares it: a name holding a NUL, or one too long for the buffer, makes
    // the two differ.
    std::uint64_t storedNameLength = 0;
    std::uint64_t declaredNameLength = 0;
    std::uint32_t flags = 0;
    std::uint32_t method = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint32_t crc = 0;
};

// Hashed: the reader takes the archive's size and SHA-1 as it reads (ArchiveInput).
enum class ArchiveHashing { None, Hashed };

class ZipReader {
  public:
    // Opens the archive; a file that cannot be opened or is no zip archive gives no handle,
    // and every call then answers ZIPCODE_PARAMETER_ERROR. Deflated entries within
    // `wholeInflateLimit` are inflated whole (EntryData).
    explicit ZipReader(const std::string& archivePath,
                       ArchiveHashing hashing = ArchiveHashing::None,
                       std::uint64_t wholeInflateLimit = WHOLE_INFLATE_LIMIT);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    int ReadGlobalInfo();
    int GoToFirstEntry();
    int GoToNextEntry();
    int ReadEntryInfo(ZipEntryInfo& info);
    int OpenEntryData();
    // The entry opened, when it is inflated whole (EntryData::TakeWhole); its compressed bytes
    // are then read by `GatherWholeEntry`, and the entry is not read here.
    std::unique_ptr<WholeEntry> TakeWholeEntry();
    void GatherWholeEntry(WholeEntry& entry);
    // Returns once no gathered bytes are still being hashed: the entries that hold them may go.
    void ReleaseGathered();
    // Above 0: bytes read into `buffer`; 0: the end of the entry's data; below 0: an error. The
    // data's CRC-32 is the caller's to check against ZipEntryInfo::crc.
    int ReadEntryData(void* buffer, std::size_t size);
    int CloseEntryData();
    // The archive's size and SHA-1, once its entries are read: reads the rest of the file.
    // Nothing for an unhashed reader or an archive that could not be read whole.
    std::optional<ArchiveFingerprint> FinishDigest();

  private:
    ArchiveInputSlot slot;  // minizip's file functions open the archive into it
    void* handle;
    EntryData entryData;
    std::vector<char> extraFields;  // reused for every entry
};

}  // namespace parvane
