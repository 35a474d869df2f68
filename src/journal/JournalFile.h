#pragma once

// The journal of a change as a file: one record per line, a tag and its fields separated by
// tabs, with backslash, tab, line feed and carriage return escaped. A record is whole only
// with its line end, so the line a power cut tore is no record at all.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Machine.h"

namespace parvane {

struct JournalRecord {
    std::string tag;
    std::vector<std::string> fields;

    const std::string& Field(std::size_t index) const;
    // The field as a decimal number; 0 when it is none.
    std::uint64_t Number(std::size_t index) const;
};

// The journal in the state folder; empty when the front end set no state folder.
std::string JournalPath();

std::string EncodeRecord(const JournalRecord& record);
std::vector<JournalRecord> DecodeRecords(std::string_view text);

// The whole file, through `machine`.
Win32Error ReadWholeFile(Machine& machine, const std::string& path, std::string& text);

// How far a record has gone when Append returns: kept in the stream's buffer (written with the
// next record that goes further), handed to the system (it survives a killed process), or on
// the disk itself (it survives a power cut).
enum class Durability { Buffered, Flushed, Synced };

// Appends records to one file.
class JournalWriter {
  public:
    Win32Error Open(Machine& machine, const std::string& path, FileMode mode);
    Win32Error Append(const JournalRecord& record, Durability durability);
    Win32Error Close();
    bool IsOpen() const { return stream != nullptr; }

  private:
    std::unique_ptr<FileStream> stream;
};

}  // namespace parvane
