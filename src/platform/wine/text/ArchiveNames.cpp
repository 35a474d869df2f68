#include "platform/wine/text/ArchiveNames.h"

#include <iconv.h>
#include <utf8proc.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "platform/wine/text/Codepage.h"

namespace parvane::wine {

namespace {

// Code page 437 has a character for every byte, so only a missing converter fails.
bool Cp437ToUtf8(std::string_view bytes, std::string& text) {
    const iconv_t converter = iconv_open("UTF-8", "CP437");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    std::string input(bytes);
    text.assign(input.size() * 3, '\0');
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = text.data();
    std::size_t outLeft = text.size();
    const std::size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    text.resize(text.size() - outLeft);
    return converted != static_cast<std::size_t>(-1) && inLeft == 0;
}

// Canonical composition (NFC); false for malformed UTF-8.
bool ComposedUtf8(const std::string& text, std::string& composed) {
    utf8proc_uint8_t* result = nullptr;
    const utf8proc_ssize_t length =
        utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                     static_cast<utf8proc_ssize_t>(text.size()), &result,
                     static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE));
    if (length < 0) {
        return false;
    }
    const std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> owned(result, &std::free);
    composed.assign(reinterpret_cast<const char*>(result), static_cast<std::size_t>(length));
    return true;
}

}  // namespace

Win32Error ArchiveNameToAnsi(std::string_view bytes, bool isUtf8, std::string& name) {
    std::string text;
    if (isUtf8) {
        text.assign(bytes);
    } else if (!Cp437ToUtf8(bytes, text)) {
        name = Utf8ToCp1252WithSubstitutes(bytes);
        return ERR_NO_UNICODE_TRANSLATION;
    }
    std::string composed;
    if (!ComposedUtf8(text, composed)) {
        composed = text;  // malformed: shown with substitutes
    } else if (Utf8ToCp1252(composed, name)) {
        return ERR_SUCCESS;
    }
    name = Utf8ToCp1252WithSubstitutes(composed);
    return ERR_NO_UNICODE_TRANSLATION;
}

}  // namespace parvane::wine
