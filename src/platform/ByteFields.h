#pragma once

// The fields of the program's own binary files (its caches in the state folder): little-endian
// numbers and texts with their length in front, read back with every read past the end caught.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace parvane {

inline void PutNumber(std::string& out, std::uint64_t number, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((number >> (8 * i)) & 0xFF);
    }
}

// The text after its length in `lengthBytes` bytes.
inline void PutText(std::string& out, std::string_view text, int lengthBytes = 2) {
    PutNumber(out, text.size(), lengthBytes);
    out += text;
}

// Reads what the Put functions wrote. Every read past the end, and every count over its limit,
// makes `ok` false and reads as zero or empty. Defined here, to be made in place: a load reads
// several numbers for each of tens of thousands of cached entries.
class ByteReader {
  public:
    ByteReader(std::string_view bytes, std::size_t start) : data(bytes), position(start) {}

    bool ok = true;
    std::size_t Position() const { return position; }
    bool AtEnd() const { return position == data.size(); }

    std::uint64_t Number(int bytes) {
        if (!Has(static_cast<std::size_t>(bytes))) {
            return 0;
        }
        std::uint64_t number = 0;
        if constexpr (std::endian::native == std::endian::little) {
            // The bytes in the order the files keep them: one copy, not one shift a byte.
            std::memcpy(&number, data.data() + position, static_cast<std::size_t>(bytes));
            position += static_cast<std::size_t>(bytes);
        } else {
            for (int i = 0; i < bytes; ++i) {
                number |= std::uint64_t{static_cast<std::uint8_t>(data[position++])} << (8 * i);
            }
        }
        return number;
    }
    std::string_view Text(std::size_t size) {
        if (!Has(size)) {
            return {};
        }
        position += size;
        return data.substr(position - size, size);
    }
    // A text written by PutText with two length bytes; Text(Number(n)) reads one with n.
    std::string_view Text() { return Text(Number(2)); }
    // A count of at most `limit`, in one byte.
    int Count(int limit) {
        const auto count = static_cast<int>(Number(1));
        ok = ok && count <= limit;
        return ok ? count : 0;
    }

  private:
    bool Has(std::size_t size) {
        ok = ok && data.size() - position >= size;
        return ok;
    }

    std::string_view data;
    std::size_t position;
};

}  // namespace parvane
