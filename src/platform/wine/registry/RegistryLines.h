#pragma once

// The lines of Wine's registry text and its value lines: `"name"=data` or `@=data`, a hex list
// going on over the lines that end with a backslash. Reading a file checks every value line
// once, without decoding it; a key that did not change keeps only its lines, and a value is
// decoded from them when it is asked for. Both go through the same reading, so a value line
// that the check accepted always decodes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parvane::wine {

struct HiveValue {
    std::u16string name;  // empty for the default value
    std::uint32_t type = 0;
    std::string data;  // the bytes as stored; strings are UTF-16LE
};

struct Line {
    std::string_view text;  // without its line end
    std::size_t begin = 0;  // offset in the text of its first character
    std::size_t end = 0;    // offset in the text after its line end
};

class LineReader {
  public:
    explicit LineReader(std::string_view lines) : text(lines) {}

    // The next line; false at the end of the text.
    bool Next(Line& line) {
        if (offset >= text.size()) {
            return false;
        }
        const std::size_t newline = text.find('\n', offset);
        const std::size_t stop = newline == std::string_view::npos ? text.size() : newline;
        line.text = text.substr(offset, stop - offset);
        if (!line.text.empty() && line.text.back() == '\r') {
            line.text.remove_suffix(1);
        }
        line.begin = offset;
        line.end = newline == std::string_view::npos ? text.size() : newline + 1;
        offset = line.end;
        ++number;
        return true;
    }
    // The number of lines read so far: the line that was read last.
    std::size_t Number() const { return number; }
    // The offset after the line end of the line that was read last.
    std::size_t Offset() const { return offset; }

  private:
    std::string_view text;
    std::size_t offset = 0;
    std::size_t number = 0;
};

bool IsSpace(char c);
std::size_t SkipSpaces(std::string_view text, std::size_t pos);

// Reads a run of hex digits at `pos`; false when there is none or it exceeds `limit`.
bool ReadHexNumber(std::string_view text, std::size_t& pos, std::uint64_t limit,
                   std::uint64_t& number);

// Reads the value whose line is `line` (from its '@' or '"' on), and the lines from `lines`
// that its data goes on over. With `value` null it only checks them. False with the reason when
// they are not in Wine's format; `lines` then stands at the line at fault.
bool ReadValue(std::string_view line, LineReader& lines, HiveValue* value, std::string& reason);

// The values in a key's lines as a file held them (accepted by ReadValue), in the order of the
// lines. The other lines of the key (its header, options, comments) are passed over.
std::vector<HiveValue> ValuesInLines(std::string_view keyLines);

// The value named `name` (as CompareNames matches names) in a key's lines; the later one when
// the lines hold the name twice, as reading the file keeps it.
std::optional<HiveValue> FindValueInLines(std::string_view keyLines, std::u16string_view name);

}  // namespace parvane::wine
