#pragma once

// Zip archives built in memory, and damaged on purpose as a hostile archive would be.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace parvane::test {

enum class ZipMethod { Stored, Deflated };

struct ZipFileEntry {
    std::string name;  // as stored; a name ending in '/' is a folder
    std::string data;
    ZipMethod method = ZipMethod::Deflated;
};

using ZipBytes = std::vector<std::uint8_t>;

// Entries in the order given; none gives the 22-byte end record alone.
ZipBytes ZipArchiveBytes(const std::vector<ZipFileEntry>& entries);
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
