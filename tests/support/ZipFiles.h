#pragma once

// Zip archives for tests, built in memory and written to the test machine at a Windows path. The
// patch functions then damage an entry on purpose: they change a field of its local and central
// headers alike, as a hostile archive would.

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

// The archive's bytes, entries in the order given. No entries at all gives the 22-byte
// archive of the end record alone.
ZipBytes ZipArchiveBytes(const std::vector<ZipFileEntry>& entries);

// The archive's bytes as a string, as an archive packed inside another holds them.
std::string ZipText(const std::vector<ZipFileEntry>& entries);

// Writes the bytes through TheMachine(); false (and a failure of the running test) otherwise.
bool WriteZipFile(const std::string& path, const ZipBytes& bytes);
bool WriteZipFile(const std::string& path, const std::vector<ZipFileEntry>& entries);

// Entry `index` counts in central directory order.
void PatchEntryFlags(ZipBytes& bytes, std::size_t index, std::uint16_t flags);
void PatchEntryMethod(ZipBytes& bytes, std::size_t index, std::uint16_t method);
void PatchEntryCrc(ZipBytes& bytes, std::size_t index, std::uint32_t crc);
void PatchEntryUncompressedSize(ZipBytes& bytes, std::size_t index, std::uint32_t size);

// The names of the files (not folders) in a folder, sorted; empty when it has none or does
// not exist.
std::vector<std::string> FileNamesIn(const std::string& folder);

}  // namespace parvane::test
