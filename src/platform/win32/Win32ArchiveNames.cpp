#include "platform/win32/Win32ArchiveNames.h"

#include "platform/win32/WindowsApi.h"

namespace parvane::win32 {

namespace {

constexpr UINT ANSI_CODE_PAGE = 1252;

bool ToWide(std::string_view bytes, UINT codePage, std::wstring& wide) {
    if (bytes.empty()) {
        wide.clear();
        return true;
    }
    const int size = static_cast<int>(bytes.size());
    const int length =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    wide.assign(static_cast<std::size_t>(length), L'\0');
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(),
                               length) == length;
}

// Canonical composition (form C). NormalizeString answers an estimate first, then the length.
bool Composed(const std::wstring& text, std::wstring& composed) {
    if (text.empty()) {
        composed.clear();
        return true;
    }
    const int size = static_cast<int>(text.size());
    int length = NormalizeString(NormalizationC, text.c_str(), size, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    composed.assign(static_cast<std::size_t>(length), L'\0');
    length = NormalizeString(NormalizationC, text.c_str(), size, composed.data(), length);
    if (length <= 0) {
        return false;
    }
    composed.resize(static_cast<std::size_t>(length));
    return true;
}

// False when a character had to be replaced by '?'.
bool ToAnsi(const std::wstring& wide, std::string& name) {
    name.clear();
    if (wide.empty()) {
        return true;
    }
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(ANSI_CODE_PAGE, WC_NO_BEST_FIT_CHARS, wide.c_str(), size,
                                           nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return false;
    }
    name.assign(static_cast<std::size_t>(length), '\0');
    BOOL usedDefault = FALSE;
    const int written = WideCharToMultiByte(ANSI_CODE_PAGE, WC_NO_BEST_FIT_CHARS, wide.c_str(),
                                            size, name.data(), length, "?", &usedDefault);
    return written == length && !usedDefault;
}

}  // namespace

Win32Error ArchiveNameToAnsi(std::string_view bytes, bool isUtf8, std::string& name) {
    std::wstring wide;
    if (!ToWide(bytes, isUtf8 ? CP_UTF8 : CP_OEMCP, wide)) {
        // Malformed: each byte outside ASCII is shown as '?'.
        name.assign(bytes);
        for (char& c : name) {
            if (static_cast<unsigned char>(c) >= 0x80) {
                c = '?';
            }
        }
        return ERR_NO_UNICODE_TRANSLATION;
    }
    std::wstring composed;
    if (!Composed(wide, composed)) {
        composed = wide;
    }
    return ToAnsi(composed, name) ? ERR_SUCCESS : ERR_NO_UNICODE_TRANSLATION;
}

}  // namespace parvane::win32
