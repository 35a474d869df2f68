#pragma once

// The catalogue's files in the state folder: their fields (platform/ByteFields.h) and GUIDs,
// each file read whole, or in blocks, and replaced whole.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/Guid.h"
#include "platform/ByteFields.h"
#include "platform/Machine.h"

namespace parvane {

void PutGuid(std::string& out, const GUID& guid);
// A GUID written by PutGuid.
GUID ReadGuid(ByteReader& reader);

// The whole file at the Windows path `path`, or nothing when it cannot be read.
std::string ReadStateFile(const std::string& path);
// The whole of a file opened for reading, closed then; nothing when it cannot be read. It makes
// no call to the machine but the file's own.
std::string ReadOpenedStateFile(std::unique_ptr<FileStream> file);

// Reads the bytes of an open file from `start` to `end` in blocks, so that a large file is never
// held whole: each item is parsed from the bytes read so far, and parsed again with more of them
// when it goes past their end.
class BlockReader {
  public:
    BlockReader(FileStream& opened, std::uint64_t start, std::uint64_t stop);

    // Calls `parse(reader)` until it reads one item whole; false when the bytes end, or cannot
    // be read, before it does. `parse` may run more than once for one item.
    template <typename Parse>
    bool Item(Parse&& parse) {
        for (;;) {
            ByteReader reader(std::string_view(block.get(), filled), used);
            parse(reader);
            if (reader.ok) {
                used = reader.Position();
                return true;
            }
            if (!ReadMore()) {
                return false;
            }
        }
    }
    // Where the next item starts in the file.
    std::uint64_t Position() const { return next - (filled - used); }
    bool AtEnd() const { return Position() == end; }

  private:
    bool ReadMore();

    FileStream& file;
    std::uint64_t next;  // where the bytes not read yet start
    std::uint64_t end;
    bool seeked = false;
    // Left as they are until read into: a block is never cleared first.
    std::unique_ptr<char[]> block;
    std::size_t room = 0;    // the bytes `block` holds
    std::size_t filled = 0;  // the bytes of `block` read
    std::size_t used = 0;    // the bytes of `block` already parsed
};

// The size of an open file; false when it cannot be told.
bool StateFileSize(FileStream& file, std::uint64_t& size);

// Writes `parts` one after the other into `path` + ".new", then moves that over `path`; false,
// leaving the old file or none, when any step fails.
bool ReplaceStateFile(const std::string& path, const std::vector<std::string_view>& parts);

}  // namespace parvane
