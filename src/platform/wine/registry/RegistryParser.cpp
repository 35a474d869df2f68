#include "platform/wine/registry/RegistryParser.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

#include "platform/HexDigits.h"
#include "platform/Win32Codes.h"
#include "platform/wine/registry/RegistryText.h"

namespace parvane::wine {

namespace {

constexpr std::string_view FIRST_LINE = "WINE REGISTRY Version 2";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::size_t SkipSpaces(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsSpace(text[pos])) {
        ++pos;
    }
    return pos;
}

// Reads a run of hex digits at `pos`; false when there is none or it exceeds `limit`.
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

struct Line {
    std::string_view text;  // without its line end
    std::size_t begin = 0;  // offset in the file of its first character
    std::size_t end = 0;    // offset in the file after its line end
};

class LineReader {
  public:
    explicit LineReader(std::string_view fileText) : text(fileText) {}

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
    std::size_t Number() const { return number; }

  private:
    std::string_view text;
    std::size_t offset = 0;
    std::size_t number = 0;
};

class Parser {
  public:
    Parser(std::string_view fileText, HiveTree& target, ParseError& failure)
        : text(fileText), reader(fileText), hive(target), error(failure) {}

    bool Run();

  private:
    bool Fail(std::string reason) {
        error.line = std::max<std::size_t>(reader.Number(), 1);  // an empty file fails at line 1
        error.reason = std::move(reason);
        return false;
    }
    bool ParseLine(const Line& line);
    bool ParseKeyHeader(std::string_view line, std::size_t lineBegin);
    bool ParseGlobalOption(std::string_view line);
    bool ParseKeyOption(std::string_view line);
    bool ParseValue(std::string_view line);
    bool ParseData(std::string_view line, std::size_t pos, HiveValue& value);
    bool ParseHexList(std::string_view line, std::size_t pos, std::string& bytes);
    void FinishKey();

    std::string_view text;
    LineReader reader;
    HiveTree& hive;
    ParseError& error;
    HiveKey* current = nullptr;
    bool currentRepeated = false;
    std::size_t keyStart = 0;
    // The end of the last line that was not blank: a key's lines end there.
    std::size_t contentEnd = 0;
    std::unordered_set<const HiveKey*> keysSeen;
};

bool Parser::Run() {
    Line line;
    if (!reader.Next(line) || line.text != FIRST_LINE) {
        return Fail("the first line is not \"WINE REGISTRY Version 2\"");
    }
    contentEnd = line.end;
    while (reader.Next(line)) {
        if (!ParseLine(line)) {
            return false;
        }
    }
    if (current == nullptr) {
        hive.preamble = std::string(text.substr(0, contentEnd));
    } else {
        FinishKey();
    }
    hive.trailer = std::string(text.substr(contentEnd));
    return true;
}

bool Parser::ParseLine(const Line& line) {
    const std::size_t start = SkipSpaces(line.text, 0);
    if (start == line.text.size()) {
        return true;  // blank lines separate keys
    }
    const std::string_view content = line.text.substr(start);
    bool parsed = true;
    switch (content.front()) {
        case '[':
            parsed = ParseKeyHeader(content, line.begin);
            break;
        case '@':
        case '"':
            if (current == nullptr) {
                return Fail("a value comes before any key");
            }
            parsed = ParseValue(content);
            break;
        case '#':
            parsed = current == nullptr ? ParseGlobalOption(content) : ParseKeyOption(content);
            break;
        case ';':
            break;
        default:
            return Fail("unrecognized line");
    }
    if (parsed && contentEnd < line.end) {
        contentEnd = line.end;
    }
    return parsed;
}

void Parser::FinishKey() {
    if (currentRepeated) {
        current->originalText.clear();  // two sections for one key: Wine merges them
    } else {
        current->originalText = std::string(text.substr(keyStart, contentEnd - keyStart));
    }
}

bool Parser::ParseKeyHeader(std::string_view line, std::size_t lineBegin) {
    std::size_t pos = 1;
    std::u16string path;
    if (!ReadEscapedString(line, pos, ']', path)) {
        return Fail("malformed key name");
    }
    pos = SkipSpaces(line, pos);
    // Wine writes the stamp as 32-bit Unix seconds; a longer number reads as the largest one.
    std::uint64_t seconds = 0;
    const bool stamped = pos < line.size() && line[pos] >= '0' && line[pos] <= '9';
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') {
        seconds = std::min<std::uint64_t>(seconds * 10 + static_cast<unsigned>(line[pos++] - '0'),
                                          UINT32_MAX);
    }

    HiveKey* key = &hive.Root();
    std::size_t componentStart = 0;
    while (componentStart <= path.size()) {
        std::size_t componentEnd = path.find(u'\\', componentStart);
        if (componentEnd == std::u16string::npos) {
            componentEnd = path.size();
        }
        if (componentEnd > componentStart) {
            key = &hive.SubkeyForLoading(*key, std::u16string_view(path).substr(
                                                   componentStart, componentEnd - componentStart));
        }
        componentStart = componentEnd + 1;
    }

    if (current == nullptr) {
        hive.preamble = std::string(text.substr(0, contentEnd));
    } else {
        FinishKey();
    }
    const std::string separator(text.substr(contentEnd, lineBegin - contentEnd));
    current = key;
    keyStart = lineBegin;
    currentRepeated = !keysSeen.insert(key).second;
    if (!currentRepeated) {
        hive.MoveToEndOfFile(*key);
        key->separator = separator;
    }
    key->modified = stamped ? FileTimeFromUnixSeconds(seconds) : CurrentFileTime();
    return true;
}

bool Parser::ParseGlobalOption(std::string_view line) {
    constexpr std::string_view ARCH = "#arch=";
    if (line.starts_with(ARCH)) {
        const std::string_view arch = line.substr(ARCH.size());
        if (arch != "win32" && arch != "win64") {
            return Fail("unknown architecture");
        }
        hive.arch = std::string(arch);
    }
    return true;  // other options are ignored, as Wine ignores them
}

bool Parser::ParseKeyOption(std::string_view line) {
    constexpr std::string_view TIME = "#time=";
    constexpr std::string_view CLASS = "#class=\"";
    if (line.starts_with(TIME)) {
        std::size_t pos = TIME.size();
        std::uint64_t time = 0;
        if (!ReadHexNumber(line, pos, UINT64_MAX, time)) {
            return Fail("malformed key time");
        }
        current->modified = time;
    } else if (line.starts_with(CLASS)) {
        std::size_t pos = CLASS.size();
        std::u16string keyClass;
        if (!ReadEscapedString(line, pos, '"', keyClass)) {
            return Fail("malformed key class");
        }
        current->keyClass = std::move(keyClass);
    } else if (line.starts_with("#link")) {
        current->isLink = true;
    }
    return true;
}

bool Parser::ParseValue(std::string_view line) {
    HiveValue value;
    std::size_t pos = 1;
    if (line.front() == '"' && !ReadEscapedString(line, pos, '"', value.name)) {
        return Fail("malformed value name");
    }
    pos = SkipSpaces(line, pos);
    if (pos >= line.size() || line[pos] != '=') {
        return Fail("malformed value name");
    }
    if (!ParseData(line, SkipSpaces(line, pos + 1), value)) {
        return false;
    }
    HiveTree::StoreValue(*current, std::move(value));
    return true;
}

bool Parser::ParseData(std::string_view line, std::size_t pos, HiveValue& value) {
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
            std::u16string textValue;
            if (!ReadEscapedString(data, at, '"', textValue)) {
                return Fail("malformed string value");
            }
            textValue += u'\0';
            value.type = tag.type;
            value.data = Utf16ToBytes(textValue);
            return true;
        }
    }
    if (data.starts_with("hex:")) {
        value.type = REGTYPE_BINARY;
        return ParseHexList(data, 4, value.data);
    }
    if (data.starts_with("dword:")) {
        std::size_t at = 6;
        std::uint64_t number = 0;
        if (!ReadHexNumber(data, at, 0xFFFFFFFF, number) || SkipSpaces(data, at) != data.size()) {
            return Fail("malformed dword value");
        }
        value.type = REGTYPE_DWORD;
        value.data.clear();
        for (int i = 0; i < 4; ++i) {
            value.data += static_cast<char>((number >> (8 * i)) & 0xFF);
        }
        return true;
    }
    if (data.starts_with("hex(")) {
        std::size_t at = 4;
        std::uint64_t type = 0;
        if (!ReadHexNumber(data, at, 0xFFFFFFFF, type) || data.substr(at, 2) != "):") {
            return Fail("malformed value type");
        }
        value.type = static_cast<std::uint32_t>(type);
        return ParseHexList(data, at + 2, value.data);
    }
    return Fail("unknown value type");
}

// "aa,bb,..." with a backslash at the end of a line going on on the next line.
bool Parser::ParseHexList(std::string_view line, std::size_t pos, std::string& bytes) {
    bytes.clear();
    for (;;) {
        while (pos < line.size() && IsHexDigit(line[pos])) {
            std::uint64_t byte = 0;
            if (!ReadHexNumber(line, pos, 0xFF, byte)) {
                return Fail("malformed hex value");
            }
            bytes += static_cast<char>(byte);
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
        if (line[pos] != '\\' || !reader.Next(next)) {
            return Fail("malformed hex value");
        }
        contentEnd = next.end;
        line = next.text;
        pos = SkipSpaces(line, 0);
    }
}

}  // namespace

bool ParseHive(std::string_view text, HiveTree& hive, ParseError& error) {
    return Parser(text, hive, error).Run();
}

}  // namespace parvane::wine
