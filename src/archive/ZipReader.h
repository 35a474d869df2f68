#pragma once

// One zip archive open for reading through minizip's unzip interface. The archive file is
// read through the machine's file streams, so archive paths are Windows paths like every
// other. Results are minizip's return codes (0 UNZ_OK, -100 end of list, -102 parameter
// error, -103 bad archive, -105 CRC error).

#include <cstddef>
#include <cstdint>
#include <string>

namespace parvane {

inline constexpr int ZIPCODE_OK = 0;
inline constexpr int ZIPCODE_END_OF_LIST = -100;
inline constexpr int ZIPCODE_PARAMETER_ERROR = -102;

// The names the program handles are at most 255 characters; minizip reads an entry name into
// a buffer of 256.
inline constexpr std::size_t ZIP_NAME_BUFFER_SIZE = 256;
// Entry data is copied in blocks of this size, and never held beyond one block. A large block
// keeps the calls per byte few: a course file runs to hundreds of megabytes.
inline constexpr std::size_t ZIP_DATA_BLOCK_SIZE = std::size_t{1} << 20;

inline constexpr std::uint32_t ZIP_FLAG_ENCRYPTED = 0x0001;
inline constexpr std::uint32_t ZIP_METHOD_STORED = 0;
inline constexpr std::uint32_t ZIP_METHOD_DEFLATED = 8;

struct ZipEntryInfo {
    // The name as stored, cut at the first NUL or at 255 characters.
    std::string name;
    // The name's length as the archive declares it; a name longer than 255 characters, or one
    // holding a NUL, differs from name.size().
    std::uint64_t declaredNameLength = 0;
    std::uint32_t flags = 0;
    std::uint32_t method = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint32_t crc = 0;
};

class ZipReader {
  public:
    // Opens the archive; a file that cannot be opened or is no zip archive gives no handle,
    // and every call then answers ZIPCODE_PARAMETER_ERROR.
    explicit ZipReader(const std::string& archivePath);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    int ReadGlobalInfo();
    int GoToFirstEntry();
    int GoToNextEntry();
    int ReadEntryInfo(ZipEntryInfo& info);
    int OpenEntryData();
    // Above 0: bytes read; 0: the end of the entry's data; below 0: an error.
    int ReadEntryData(void* buffer, std::size_t size);
    // Where minizip reports a CRC mismatch.
    int CloseEntryData();

  private:
    void* handle;
};

}  // namespace parvane
