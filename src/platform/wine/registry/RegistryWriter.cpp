#include "platform/wine/registry/RegistryWriter.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/Win32Codes.h"
#include "platform/wine/registry/RegistryText.h"

namespace parvane::wine {

namespace {

// Wine breaks a hex list once a line passes this many characters.
constexpr std::size_t HEX_LINE_WIDTH = 76;

std::size_t AppendText(std::string& out, std::string_view text) {
    out += text;
    return text.size();
}

template <typename... Args>
std::size_t AppendFormatted(std::string& out, const char* format, Args... args) {
    std::array<char, 32> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), format, args...);
    out.append(buffer.data(), static_cast<std::size_t>(length));
    return static_cast<std::size_t>(length);
}

bool IsStringType(std::uint32_t type) {
    return type == REGTYPE_SZ || type == REGTYPE_EXPAND_SZ || type == REGTYPE_MULTI_SZ;
}

// Wine writes a string value as text only when it ends with its terminator.
bool IsTerminatedString(const std::string& data) {
    return data.size() >= 2 && data.size() % 2 == 0 && data[data.size() - 1] == '\0' &&
           data[data.size() - 2] == '\0';
}

void AppendHexList(const HiveValue& value, std::size_t column, std::string& out) {
    if (value.type == REGTYPE_BINARY) {
        column += AppendText(out, "hex:");
    } else {
        column += AppendFormatted(out, "hex(%x):", value.type);
    }
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        column += AppendFormatted(out, "%02x", static_cast<unsigned char>(value.data[i]));
        if (i + 1 < value.data.size()) {
            out += ',';
            if (++column > HEX_LINE_WIDTH) {
                out += "\\\n  ";
                column = 2;
            }
        }
    }
    out += '\n';
}

void AppendValue(const HiveValue& value, std::string& out) {
    std::size_t column = 0;
    if (value.name.empty()) {
        column = AppendText(out, "@=");
    } else {
        out += '"';
        column = 1 + AppendEscapedString(value.name, "\"", out);
        column += AppendText(out, "\"=");
    }
    if (IsStringType(value.type) && IsTerminatedString(value.data)) {
        if (value.type != REGTYPE_SZ) {
            AppendFormatted(out, "str(%x):", value.type);
        }
        const std::u16string text = BytesToUtf16(value.data);
        out += '"';
        AppendEscapedString(std::u16string_view(text).substr(0, text.size() - 1), "\"", out);
        out += "\"\n";
        return;
    }
    if (value.type == REGTYPE_DWORD && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) {
            number = (number << 8) | static_cast<unsigned char>(value.data[i]);
        }
        AppendFormatted(out, "dword:%08x\n", number);
        return;
    }
    AppendHexList(value, column, out);
}

void AppendKeyPath(const HiveKey& key, std::string& out) {
    if (key.parent == nullptr) {
        return;
    }
    if (key.parent->parent != nullptr) {
        AppendKeyPath(*key.parent, out);
        out += "\\\\";
    }
    AppendEscapedString(key.name, "[]", out);
}

}  // namespace

std::string FormatKey(const HiveKey& key) {
    std::string out = "[";
    AppendKeyPath(key, out);
    AppendFormatted(out, "] %u\n", UnixSecondsFromFileTime(key.modified));
    AppendFormatted(out, "#time=%x%08x\n", static_cast<unsigned>(key.modified >> 32),
                    static_cast<unsigned>(key.modified & 0xFFFFFFFF));
    if (const std::u16string* keyClass = ClassOf(key)) {
        out += "#class=\"";
        AppendEscapedString(*keyClass, "\"", out);
        out += "\"\n";
    }
    if (key.isLink) {
        out += "#link\n";
    }
    for (const HiveValue& value : ValuesOf(key)) {
        AppendValue(value, out);
    }
    return out;
}

std::string FormatHive(const HiveTree& hive) {
    std::string out = hive.preamble;
    for (const HiveKey* key : hive.KeysInFileOrder()) {
        const bool unchanged = !key->originalText.empty();
        if (!unchanged && !IsWrittenOut(*key)) {
            continue;
        }
        if (!out.empty() && out.back() != '\n') {
            out += '\n';
        }
        out += key->separator;
        out += unchanged ? key->originalText : FormatKey(*key);
    }
    out += hive.trailer;
    return out;
}

}  // namespace parvane::wine
