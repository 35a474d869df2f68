#include "platform/wine/registry/RegistryText.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/HexDigits.h"

namespace parvane::wine {

namespace {

bool IsOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

// The letter escapes of control characters; the others are written in octal.
char ControlEscape(char16_t c) {
    switch (c) {
        case 7:
            return 'a';
        case 8:
            return 'b';
        case 9:
            return 't';
        case 10:
            return 'n';
        case 11:
            return 'v';
        case 12:
            return 'f';
        case 13:
            return 'r';
        case 27:
            return 'e';
        default:
            return 0;
    }
}

// The character of a letter escape, 0 when `c` is not one.
char16_t LetterEscapeValue(char c) {
    switch (c) {
        case 'a':
            return 7;
        case 'b':
            return 8;
        case 't':
            return 9;
        case 'n':
            return 10;
        case 'v':
            return 11;
        case 'f':
            return 12;
        case 'r':
            return 13;
        case 'e':
            return 27;
        default:
            return 0;
    }
}

// Characters written into a buffer made long enough beforehand: no escape and no UTF-8
// sequence stands for more characters than it has bytes.
struct TextOut {
    char16_t* next;
    void Put(char16_t c) { *next++ = c; }
};

void AppendCodePoint(std::uint32_t c, TextOut& text) {
    if (c <= 0xFFFF) {
        text.Put(static_cast<char16_t>(c));
        return;
    }
    c -= 0x10000;
    text.Put(static_cast<char16_t>(0xD800 | (c >> 10)));
    text.Put(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
}

// Decodes the UTF-8 sequence whose lead byte is at `pos` as Wine's reader does: what is not a
// well-formed character is dropped, with the bytes read so far.
void ReadUtf8Character(std::string_view line, std::size_t& pos, TextOut& text) {
    const auto lead = static_cast<unsigned char>(line[pos++]);
    int following = 0;
    std::uint32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        following = 1;
        c = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        following = 2;
        c = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        following = 3;
        c = lead & 0x07u;
    } else {
        return;
    }
    constexpr std::array<std::uint32_t, 4> SMALLEST = {0, 0x80, 0x800, 0x10000};
    for (int i = 0; i < following; ++i) {
        if (pos >= line.size()) {
            return;
        }
        const auto next = static_cast<unsigned char>(line[pos]);
        if ((next & 0xC0) != 0x80) {
            return;
        }
        c = (c << 6) | (next & 0x3Fu);
        ++pos;
    }
    if (c < SMALLEST[following] || c > 0x10FFFF) {
        return;
    }
    AppendCodePoint(c, text);
}

// Reads the escape after a backslash at `pos`; false when it is not one Wine knows, in which
// case the character stands for itself.
bool ReadEscape(std::string_view line, std::size_t& pos, TextOut& text) {
    const char c = line[pos];
    if (const char16_t letter = LetterEscapeValue(c); letter != 0) {
        text.Put(letter);
        ++pos;
        return true;
    }
    if (c == 'x') {
        ++pos;
        if (pos >= line.size() || !IsHexDigit(line[pos])) {
            text.Put(u'x');
            return true;
        }
        unsigned value = 0;
        for (int i = 0; i < 4 && pos < line.size() && IsHexDigit(line[pos]); ++i) {
            value = value * 16 + HexDigitValue(line[pos++]);
        }
        text.Put(static_cast<char16_t>(value));
        return true;
    }
    if (IsOctalDigit(c)) {
        unsigned value = 0;
        for (int i = 0; i < 3 && pos < line.size() && IsOctalDigit(line[pos]); ++i) {
            value = value * 8 + static_cast<unsigned>(line[pos++] - '0');
        }
        text.Put(static_cast<char16_t>(value));
        return true;
    }
    return false;
}

void AppendFormatted(std::string& out, const char* format, unsigned value) {
    std::array<char, 16> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), format, value);
    out.append(buffer.data(), static_cast<std::size_t>(length));
}

// ReadEscapedString into a buffer long enough.
bool ReadEscapedCharacters(std::string_view line, std::size_t& pos, char endChar, TextOut& text) {
    while (pos < line.size() && line[pos] != endChar) {
        if (line[pos] == '\\') {
            ++pos;
            if (pos >= line.size()) {
                return false;
            }
            if (ReadEscape(line, pos, text)) {
                continue;
            }
        }
        if (static_cast<unsigned char>(line[pos]) < 0x80) {
            text.Put(static_cast<char16_t>(line[pos++]));
        } else {
            ReadUtf8Character(line, pos, text);
        }
    }
    if (pos >= line.size()) {
        return false;
    }
    ++pos;
    return true;
}

}  // namespace

bool ReadEscapedString(std::string_view line, std::size_t& pos, char endChar,
                       std::u16string& text) {
    std::size_t end = pos;
    if (!SkipEscapedString(line, end, endChar)) {
        return false;
    }
    text.resize(end - 1 - pos);  // the bytes up to `endChar`: at least as many as characters
    TextOut out{text.data()};
    const bool ended = ReadEscapedCharacters(line, pos, endChar, out);
    text.resize(static_cast<std::size_t>(out.next - text.data()));
    return ended;
}

// A backslash takes the next character with it, and no escape that ReadEscape knows goes on
// over `endChar`, nor does a UTF-8 sequence, whose bytes are all above 127. So the string ends
// at the first `endChar` after an even run of backslashes.
bool SkipEscapedString(std::string_view line, std::size_t& pos, char endChar) {
    for (std::size_t end = line.find(endChar, pos); end != std::string_view::npos;
         end = line.find(endChar, end + 1)) {
        std::size_t backslashes = 0;
        while (end - backslashes > pos && line[end - backslashes - 1] == '\\') {
            ++backslashes;
        }
        if (backslashes % 2 == 0) {
            pos = end + 1;
            return true;
        }
    }
    return false;
}

std::size_t AppendEscapedString(std::u16string_view text, std::string_view quotes,
                                std::string& out) {
    const std::size_t start = out.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool hasNext = i + 1 < text.size();
        const char16_t next = hasNext ? text[i + 1] : u'\0';
        if (c > 127) {
            const bool nextIsHexDigit =
                hasNext && next < 128 && IsHexDigit(static_cast<char>(next));
            AppendFormatted(out, nextIsHexDigit ? "\\x%04x" : "\\x%x", c);
        } else if (c < 32) {
            if (const char letter = ControlEscape(c); letter != 0) {
                out += '\\';
                out += letter;
            } else {
                const bool nextIsOctalDigit = hasNext && next >= u'0' && next <= u'7';
                AppendFormatted(out, nextIsOctalDigit ? "\\%03o" : "\\%o", c);
            }
        } else {
            const char ascii = static_cast<char>(c);
            if (ascii == '\\' || quotes.find(ascii) != std::string_view::npos) {
                out += '\\';
            }
            out += ascii;
        }
    }
    return out.size() - start;
}

std::string Utf16ToBytes(std::u16string_view text) {
    std::string bytes(text.size() * 2, '\0');
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(bytes.data(), text.data(), bytes.size());
    } else {
        for (std::size_t i = 0; i < text.size(); ++i) {
            bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
            bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
        }
    }
    return bytes;
}

std::u16string BytesToUtf16(std::string_view bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto low = static_cast<unsigned char>(bytes[2 * i]);
        const auto high = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = static_cast<char16_t>(low | (high << 8));
    }
    return text;
}

}  // namespace parvane::wine
