#pragma once

// The bytes of the catalogue's files in the state folder: little-endian numbers and texts with
// their length in front, read back with every read past the end caught; each file read whole,
// or in blocks, and replaced whole.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/Guid.h"
#include "platform/Machine.h"

namespace parvane {

void PutNumber(std::string& out, std::uint64_t number, int bytes);
// The text after its length in two bytes.
void PutText(std::string& out, std::string_view text);
void PutGuid(std::string& out, const GUID& guid);

// Reads what the Put functions wrote. Every read past the end, and every count over its limit,
// makes `ok` false and reads as zero or empty. The small reads are defined here, to be made in
// place: a load reads several numbers for each of tens of thousands of cached entries.
class ByteReader {
  public:
    ByteReader(std::string_view bytes, std::size_t start) : data(bytes), position(start) {}

    bool ok = true;
    std::size_t Position() const { return position; }
    bool AtEnd() const { return position == data.size(); }

    std::uint64_t Number(int bytes);
    std::string_view Text(std::size_t size);
    // A text written by PutText.
    std::string_view Text() { return Text(Number(2)); }
    GUID Guid();
    // A count of at most `limit`, in one byte.
    int Count(int limit);

  private:
    bool Has(std::size_t size) {
        ok = ok && data.size() - position >= size;
        return ok;
    }

    std::string_view data;
    std::size_t position;
};

inline std::uint64_t ByteReader::Number(int bytes) {
    if (!Has(static_cast<std::size_t>(bytes))) {
        return 0;
    }
    std::uint64_t number = 0;
    for (int i = 0; i < bytes; ++i) {
        number |= std::uint64_t{static_cast<std::uint8_t>(data[position++])} << (8 * i);
    }
    return number;
}

inline std::string_view ByteReader::Text(std::size_t size) {
    if (!Has(size)) {
        return {};
    }
    position += size;
    return data.substr(position - size, size);
}

// The whole file at the Windows path `path`, or nothing when it cannot be read.
std::string ReadStateFile(const std::string& path);

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
            ByteReader reader(block, used);
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
    std::uint64_t Position() const { return next - (block.size() - used); }
    bool AtEnd() const { return Position() == end; }

  private:
    bool ReadMore();

    FileStream& file;
    std::uint64_t next;  // where the bytes not read yet start
    std::uint64_t end;
    bool seeked = false;
    std::string block;
    std::size_t used = 0;  // the bytes of `block` already parsed
};

// The size of an open file; false when it cannot be told.
bool StateFileSize(FileStream& file, std::uint64_t& size);

// Writes `parts` one after the other into `path` + ".new", then moves that over `path`; false,
// leaving the old file or none, when any step fails.
bool ReplaceStateFile(const std::string& path, const std::vector<std::string_view>& parts);

}  // namespace parvane
