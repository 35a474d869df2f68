#include "platform/wine/registry/RegistryParser.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/wine/registry/RegistryLines.h"
#include "platform/wine/registry/RegistryText.h"

namespace parvane::wine {

namespace {

constexpr std::string_view FIRST_LINE = "WINE REGISTRY Version 2";

// The length of the beginning of a key's path text (after its '[') that the previous key's path
// text shares, up to a backslash between names, with the number of names in it: the previous
// key's keys down to there are this key's too. Only plain characters count (no escape but a
// backslash's, no byte above 127), so that the names are those of the text.
std::size_t SharedPathPrefix(std::string_view path, std::string_view previous, std::size_t& depth) {
    std::size_t shared = 0;
    std::size_t names = 0;
    bool inName = false;
    depth = 0;
    auto endName = [&](std::size_t end) {
        names += inName ? 1 : 0;
        inName = false;
        shared = end;
        depth = names;
    };
    std::size_t pos = 0;
    for (; pos < previous.size() && pos < path.size() && path[pos] == previous[pos]; ++pos) {
        const char c = path[pos];
        if (c == '\\' && pos + 1 < previous.size() && previous[pos + 1] == '\\' &&
            pos + 1 < path.size() && path[pos + 1] == '\\') {
            endName(++pos + 1);
        } else if (c == '\\' || c == ']' || static_cast<unsigned char>(c) >= 0x80) {
            return shared;
        } else {
            inName = true;
        }
    }
    // The whole previous path, followed here by a backslash: a key after its parent.
    if (pos == previous.size() && path.substr(pos).starts_with("\\\\")) {
        endName(pos + 2);
    }
    return shared;
}

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
    void FinishKey();

    std::string_view text;
    LineReader reader;
    HiveTree& hive;
    ParseError& error;
    HiveKey* current = nullptr;
    // The current key's lines are its second in the file: its values are decoded and merged.
    bool currentRepeated = false;
    std::size_t keyStart = 0;
    // The end of the last line that was not blank: a key's lines end there.
    std::size_t contentEnd = 0;
    // The path of the key read last: its text, and its keys from the root down. A file in
    // Wine's order names the same keys at the beginning of each path.
    std::string_view previousPath;
    std::vector<HiveKey*> previousKeys;
    std::u16string path;
    std::string valueFault;
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
    if (parsed) {
        contentEnd = reader.Offset();  // after the lines a hex list went on over too
    }
    return parsed;
}

void Parser::FinishKey() {
    if (!currentRepeated) {
        current->originalText = text.substr(keyStart, contentEnd - keyStart);
    }
}

bool Parser::ParseKeyHeader(std::string_view line, std::size_t lineBegin) {
    std::size_t sharedDepth = 0;
    const std::size_t shared = SharedPathPrefix(line.substr(1), previousPath, sharedDepth);
    std::size_t pos = 1 + shared;
    if (!ReadEscapedString(line, pos, ']', path)) {
        return Fail("malformed key name");
    }
    previousPath = line.substr(1, pos - 2);
    pos = SkipSpaces(line, pos);
    // Wine writes the stamp as 32-bit Unix seconds; a longer number reads as the largest one.
    std::uint64_t seconds = 0;
    const bool stamped = pos < line.size() && line[pos] >= '0' && line[pos] <= '9';
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') {
        seconds = std::min<std::uint64_t>(seconds * 10 + static_cast<unsigned>(line[pos++] - '0'),
                                          UINT32_MAX);
    }

    previousKeys.resize(sharedDepth);
    HiveKey* key = sharedDepth > 0 ? previousKeys.back() : &hive.Root();
    std::size_t componentStart = 0;
    while (componentStart <= path.size()) {
        std::size_t componentEnd = path.find(u'\\', componentStart);
        if (componentEnd == std::u16string::npos) {
            componentEnd = path.size();
        }
        if (componentEnd > componentStart) {
            key = &hive.SubkeyForLoading(*key, std::u16string_view(path).substr(
                                                   componentStart, componentEnd - componentStart));
            previousKeys.push_back(key);
        }
        componentStart = componentEnd + 1;
    }

    if (current == nullptr) {
        hive.preamble = std::string(text.substr(0, contentEnd));
    } else {
        FinishKey();
    }
    current = key;
    keyStart = lineBegin;
    currentRepeated = key->read;
    if (currentRepeated) {
        HiveTree::DecodeValues(*key);  // two sections for one key: Wine merges them
    } else {
        key->read = true;
        hive.MoveToEndOfFile(*key);
        key->separator = text.substr(contentEnd, lineBegin - contentEnd);
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
        HiveTree::StoreClass(*current, std::move(keyClass));
    } else if (line.starts_with("#link")) {
        current->isLink = true;
    }
    return true;
}

// Only checks the line, unless the key's values are merged from two sections.
bool Parser::ParseValue(std::string_view line) {
    if (!currentRepeated) {
        return ReadValue(line, reader, nullptr, valueFault) || Fail(valueFault);
    }
    HiveValue value;
    if (!ReadValue(line, reader, &value, valueFault)) {
        return Fail(valueFault);
    }
    HiveTree::StoreValue(*current, std::move(value));
    return true;
}

}  // namespace

bool ParseHive(std::string text, HiveTree& hive, ParseError& error) {
    return Parser(hive.HoldFileText(std::move(text)), hive, error).Run();
}

}  // namespace parvane::wine
