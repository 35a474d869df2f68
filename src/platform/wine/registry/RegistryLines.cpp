#include "platform/wine/registry/RegistryLines.h"

#include "platform/AsciiCase.h"
#include "platform/HexDigits.h"
#include "platform/Win32Codes.h"
#include "platform/wine/registry/RegistryHive.h"
#include "platform/wine/registry/RegistryText.h"

namespace parvane::wine {

namespace {

// Reads an escaped string into `text`, or only passes over it when `text` is null.
bool ReadOrSkipString(std::string_view line, std::size_t& pos, char endChar, std::u16string* text) {
    return text != nullptr ? ReadEscapedString(line, pos, endChar, *text)
                           : SkipEscapedString(line, pos, endChar);
}

// Reads a value line's name (empty for '@') and moves `pos` past its '='.
bool ReadValueName(std::string_view line, std::size_t& pos, std::u16string* name,
                   std::string& reason) {
    pos = 1;
    if (line.front() == '"' && !ReadOrSkipString(line, pos, '"', name)) {
        reason = "malformed value name";
        return false;
    }
    if (line.front() == '@' && name != nullptr) {
        name->clear();
    }
    pos = SkipSpaces(line, pos);
    if (pos >= line.size() || line[pos] != '=') {
        reason = "malformed value name";
        return false;
    }
    pos = SkipSpaces(line, pos + 1);
    return true;
}

// "aa,bb,..." with a backslash at the end of a line going on on the next line.
bool ReadHexList(std::string_view line, std::size_t pos, LineReader& lines, std::string* bytes,
                 std::string& reason) {
    if (bytes != nullptr) {
        bytes->clear();
    }
    for (;;) {
        while (pos < line.size() && IsHexDigit(line[pos])) {
            std::uint64_t byte = 0;
            if (!ReadHexNumber(line, pos, 0xFF, byte)) {
                reason = "malformed hex value";
                return false;
            }
            if (bytes != nullptr) {
                *bytes += static_cast<char>(byte);
            }
            pos = SkipSpaces(line, pos);
            if (pos < line.size() && line[pos] == ',') {
                ++pos;
            }
            pos = SkipSpaces(line, pos);
        }
        pos = SkipSpaces(line, pos);
        if (pos == line.size()) {
            return true;
        }
        Line next;
        if (line[pos] != '\\' || !lines.Next(next)) {
            reason = "malformed hex value";
            return false;
        }
        line = next.text;
        pos = SkipSpaces(line, 0);
    }
}

bool ReadValueData(std::string_view line, std::size_t pos, LineReader& lines, HiveValue* value,
                   std::string& reason) {
    struct Tag {
        std::string_view text;
        std::uint32_t type;
    };
    static constexpr Tag STRING_TAGS[] = {
        {"\"", REGTYPE_SZ},
        {"str:\"", REGTYPE_SZ},
        {"str(2):\"", REGTYPE_EXPAND_SZ},
        {"str(7):\"", REGTYPE_MULTI_SZ},
    };
    const std::string_view data = line.substr(pos);
    for (const Tag& tag : STRING_TAGS) {
        if (data.starts_with(tag.text)) {
            std::size_t at = tag.text.size();
            std::u16string text;
            if (!ReadOrSkipString(data, at, '"', value != nullptr ? &text : nullptr)) {
                reason = "malformed string value";
                return false;
            }
            if (value != nullptr) {
                text += u'\0';
                value->type = tag.type;
                value->data = Utf16ToBytes(text);
            }
            return true;
        }
    }
    if (data.starts_with("hex:")) {
        if (value != nullptr) {
            value->type = REGTYPE_BINARY;
        }
        return ReadHexList(data, 4, lines, value != nullptr ? &value->data : nullptr, reason);
    }
    if (data.starts_with("dword:")) {
        std::size_t at = 6;
        std::uint64_t number = 0;
        if (!ReadHexNumber(data, at, 0xFFFFFFFF, number) || SkipSpaces(data, at) != data.size()) {
            reason = "malformed dword value";
            return false;
        }
        if (value != nullptr) {
            value->type = REGTYPE_DWORD;
            value->data.clear();
            for (int i = 0; i < 4; ++i) {
                value->data += static_cast<char>((number >> (8 * i)) & 0xFF);
            }
        }
        return true;
    }
    if (data.starts_with("hex(")) {
        std::size_t at = 4;
        std::uint64_t type = 0;
        if (!ReadHexNumber(data, at, 0xFFFFFFFF, type) || data.substr(at, 2) != "):") {
            reason = "malformed value type";
            return false;
        }
        if (value != nullptr) {
            value->type = static_cast<std::uint32_t>(type);
        }
        return ReadHexList(data, at + 2, lines, value != nullptr ? &value->data : nullptr, reason);
    }
    reason = "unknown value type";
    return false;
}

// Whether a value line that ReadValue accepted names `name`, with its name in `lineName` and
// `pos` at its data. A plain name (no escape, no byte above 127) is compared undecoded: only a
// name of ASCII characters can match it.
bool IsValueNamed(std::string_view line, std::u16string_view name, std::size_t& pos,
                  std::u16string& lineName) {
    std::size_t end = 1;
    while (end < line.size() && line[end] != '"' && line[end] != '\\' &&
           static_cast<unsigned char>(line[end]) < 0x80) {
        ++end;
    }
    if (line.front() != '"' || end == line.size() || line[end] != '"') {
        std::string ignored;
        ReadValueName(line, pos, &lineName, ignored);
        return CompareNames(lineName, name) == 0;
    }
    const std::string_view plain = line.substr(1, end - 1);
    pos = SkipSpaces(line, SkipSpaces(line, end + 1) + 1);  // past the '='
    if (plain.size() != name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < plain.size(); ++i) {
        if (name[i] >= 0x80 || UpperAscii(plain[i]) != UpperAscii(static_cast<char>(name[i]))) {
            return false;
        }
    }
    lineName.assign(plain.begin(), plain.end());
    return true;
}

// The next value line of a key's lines, from its '@' or '"' on.
bool NextValueLine(LineReader& lines, std::string_view& valueLine) {
    Line line;
    while (lines.Next(line)) {
        const std::size_t start = SkipSpaces(line.text, 0);
        if (start < line.text.size() && (line.text[start] == '@' || line.text[start] == '"')) {
            valueLine = line.text.substr(start);
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::size_t SkipSpaces(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsSpace(text[pos])) {
        ++pos;
    }
    return pos;
}

bool ReadHexNumber(std::string_view text, std::size_t& pos, std::uint64_t limit,
                   std::uint64_t& number) {
    const std::size_t start = pos;
    number = 0;
    while (pos < text.size() && IsHexDigit(text[pos])) {
        const unsigned digit = HexDigitValue(text[pos++]);
        if (digit > limit || number > (limit - digit) / 16) {
            return false;
        }
        number = number * 16 + digit;
    }
    return pos > start;
}

bool ReadValue(std::string_view line, LineReader& lines, HiveValue* value, std::string& reason) {
    std::size_t pos = 0;
    return ReadValueName(line, pos, value != nullptr ? &value->name : nullptr, reason) &&
           ReadValueData(line, pos, lines, value, reason);
}

std::vector<HiveValue> ValuesInLines(std::string_view keyLines) {
    std::vector<HiveValue> values;
    LineReader lines(keyLines);
    std::string_view valueLine;
    std::string ignored;
    while (NextValueLine(lines, valueLine)) {
        HiveValue value;
        if (ReadValue(valueLine, lines, &value, ignored)) {
            values.push_back(std::move(value));
        }
    }
    return values;
}

std::optional<HiveValue> FindValueInLines(std::string_view keyLines, std::u16string_view name) {
    std::optional<HiveValue> found;
    LineReader lines(keyLines);
    std::string_view valueLine;
    std::u16string lineName;
    std::string ignored;
    while (NextValueLine(lines, valueLine)) {
        std::size_t pos = 0;
        if (!IsValueNamed(valueLine, name, pos, lineName)) {
            if (valueLine.substr(pos).starts_with("hex")) {
                ReadValueData(valueLine, pos, lines, nullptr, ignored);  // passes over its lines
            }
            continue;
        }
        found.emplace();
        found->name = lineName;
        ReadValueData(valueLine, pos, lines, &*found, ignored);
    }
    return found;
}

}  // namespace parvane::wine
