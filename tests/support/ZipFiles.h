#pragma once

// Zip archives built in memory, and damaged on purpose as a hostile archive would be.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace parvane::test {

enum class ZipMethod { Stored, Deflated };

inline constexpr std::uint16_t ZIP_DATA_DESCRIPTOR = 0x0008;
inline constexpr std::uint16_t ZIP_UTF8_NAME = 0x0800;
inline constexpr std::uint16_t ZIP_MADE_ON_UNIX = 0x031E;
inline constexpr std::uint32_t ZIP_UNIX_LINK = 0xA1FF0000;  // S_IFLNK | 0777, as Info-ZIP sets it

struct ZipFileEntry {
    std::string name = {};  // as stored; a name ending in '/' is a folder
    std::string data = {};
    ZipMethod method = ZipMethod::Deflated;
    // ZIP_DATA_DESCRIPTOR: the local header leaves CRC and sizes to a record after the data,
    // as a packer writing to a stream does.
    std::uint16_t flags = 0;
    std::string extra = {};  // the same extra fields in both headers
    std::uint16_t madeBy = 20;
    std::uint32_t externalAttributes = 0;
};

struct ZipLayout {
    std::string comment = {};
    // The zip64 end records, and local headers with their sizes in zip64 extra fields.
    bool zip64 = false;
};

using ZipBytes = std::vector<std::uint8_t>;

// Info-ZIP's Unicode Path extra field: version 1, the CRC-32 of `storedName`, `utf8Name`.
std::string UnicodePathExtra(const std::string& storedName, const std::string& utf8Name);

// The data as a raw deflate stream, as entries of method 8 hold it.
std::string Deflated(const std::string& data);

// Entries in the order given; none gives the 22-byte end record alone.
ZipBytes ZipArchiveBytes(const std::vector<ZipFileEntry>& entries, const ZipLayout& layout = {});
std::string ZipText(const std::vector<ZipFileEntry>& entries);  // as an inner archive
// Through TheMachine(); false (and a failure of the running test) otherwise.
bool WriteZipFile(const std::string& path, const ZipBytes& bytes);
bool WriteZipFile(const std::string& path, const std::vector<ZipFileEntry>& entries);

// Change a field in the local and central headers alike; `index` in central directory order.
void PatchEntryFlags(ZipBytes& bytes, std::size_t index, std::uint16_t flags);
void PatchEntryMethod(ZipBytes& bytes, std::size_t index, std::uint16_t method);
void PatchEntryCrc(ZipBytes& bytes, std::size_t index, std::uint32_t crc);
void PatchEntryUncompressedSize(ZipBytes& bytes, std::size_t index, std::uint32_t size);

}  // namespace parvane::test
