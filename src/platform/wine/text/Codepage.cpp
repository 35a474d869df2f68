#include "platform/wine/text/Codepage.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace parvane::wine {

namespace {

// Bytes 0x80 to 0x9F. The five bytes that code page 1252 leaves undefined map to the C1
// control characters of the same value, as Windows and Wine map them.
constexpr std::array<char16_t, 32> HIGH_CONTROL_RANGE = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t ByteToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return HIGH_CONTROL_RANGE[byte - 0x80];
    }
    return byte;
}

bool UnicodeToByte(char32_t c, char& byte) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        byte = static_cast<char>(c);
        return true;
    }
    for (std::size_t i = 0; i < HIGH_CONTROL_RANGE.size(); ++i) {
        // The table holds code points of the Basic Multilingual Plane, each one code unit.
        if (static_cast<char32_t>(HIGH_CONTROL_RANGE[i]) == c) {
            byte = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

void AppendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 character at `pos`, moving `pos` past it; false when malformed.
bool DecodeUtf8(std::string_view text, std::size_t& pos, char32_t& c) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    int length = 0;
    if (lead < 0x80) {
        c = lead;
        length = 1;
    } else if ((lead & 0xE0) == 0xC0) {
        c = lead & 0x1F;
        length = 2;
    } else if ((lead & 0xF0) == 0xE0) {
        c = lead & 0x0F;
        length = 3;
    } else if ((lead & 0xF8) == 0xF0) {
        c = lead & 0x07;
        length = 4;
    } else {
        return false;
    }
    if (pos + length > text.size()) {
        return false;
    }
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return false;
        }
        c = (c << 6) | (next & 0x3F);
    }
    pos += length;
    return true;
}

}  // namespace

std::u16string Cp1252ToUtf16(std::string_view text) {
    std::u16string out(text.size(), u'\0');
    std::transform(text.begin(), text.end(), out.begin(),
                   [](char byte) { return ByteToUnicode(static_cast<unsigned char>(byte)); });
    return out;
}

std::string Cp1252ToUtf8(std::string_view text) {
    // Paths and names are mostly ASCII, which both spell alike: copied in one piece.
    const auto firstOther = std::find_if(text.begin(), text.end(), [](char byte) {
        return static_cast<unsigned char>(byte) >= 0x80;
    });
    std::string out(text.begin(), firstOther);
    for (auto byte = firstOther; byte != text.end(); ++byte) {
        AppendUtf8(ByteToUnicode(static_cast<unsigned char>(*byte)), out);
    }
    return out;
}

// Both conversions write into the string sized for the longest result (one byte for each
// character), which is cheaper than appending byte by byte.
bool Utf16ToCp1252(std::u16string_view text, std::string& out) {
    out.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!UnicodeToByte(text[i], out[i])) {
            return false;
        }
    }
    return true;
}

bool Utf16BytesToCp1252(std::string_view bytes, std::string& out) {
    out.resize(bytes.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto low = static_cast<unsigned char>(bytes[2 * i]);
        const auto high = static_cast<unsigned char>(bytes[2 * i + 1]);
        if (!UnicodeToByte(static_cast<char16_t>(low | (high << 8)), out[i])) {
            return false;
        }
    }
    return true;
}

bool Utf8ToCp1252(std::string_view text, std::string& out) {
    out.resize(text.size());
    std::size_t pos = 0;
    std::size_t length = 0;
    while (pos < text.size()) {
        char32_t c = 0;
        if (!DecodeUtf8(text, pos, c) || !UnicodeToByte(c, out[length])) {
            return false;
        }
        ++length;
    }
    out.resize(length);
    return true;
}

std::string Utf8ToCp1252WithSubstitutes(std::string_view text) {
    std::string out(text.size(), '?');
    std::size_t pos = 0;
    std::size_t length = 0;
    while (pos < text.size()) {
        char32_t c = 0;
        if (DecodeUtf8(text, pos, c)) {
            UnicodeToByte(c, out[length]);  // a character it cannot hold stays '?'
        } else {
            ++pos;  // so does a malformed byte
        }
        ++length;
    }
    out.resize(length);
    return out;
}

char16_t FoldCase(char16_t c) {
    if (c >= u'a' && c <= u'z') {
        return static_cast<char16_t>(c - 0x20);
    }
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
        return static_cast<char16_t>(c - 0x20);
    }
    if (c == 0xFF) {
        return 0x178;
    }
    if (c == 0x161 || c == 0x153 || c == 0x17E) {
        return static_cast<char16_t>(c - 1);
    }
    return c;
}

}  // namespace parvane::wine
