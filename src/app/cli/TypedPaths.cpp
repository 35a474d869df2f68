#include "app/cli/TypedPaths.h"

#include "platform/wine/paths/PathMapping.h"
#include "platform/wine/paths/WinePrefix.h"
#include "platform/wine/text/Codepage.h"

namespace parvane::cli {

namespace {

// "~" and "~/..." name the home folder, as the shell would have it.
std::filesystem::path HostPathOf(const std::string& typed) {
    if (typed == "~" || typed.starts_with("~/")) {
        return wine::HomeFolder() / typed.substr(std::min<std::size_t>(typed.size(), 2));
    }
    return typed;
}

}  // namespace

bool IsWindowsPathText(std::string_view text) {
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    return text.size() >= 2 && isLetter(text[0]) && text[1] == ':';
}

bool IsFullWindowsPathText(std::string_view text) {
    return IsWindowsPathText(text) && text.size() >= 3 && (text[2] == '\\' || text[2] == '/');
}

bool IsFullPathText(std::string_view text) {
    return text.starts_with('/') || text == "~" || text.starts_with("~/") ||
           IsFullWindowsPathText(text);
}

bool ToWindowsPath(const std::filesystem::path& prefix, const std::string& typed,
                   std::string& windowsPath, std::string& message) {
    Win32Error error = ERR_NO_UNICODE_TRANSLATION;
    if (IsWindowsPathText(typed)) {
        if (wine::Utf8ToCp1252(typed, windowsPath)) {
            return true;
        }
    } else {
        error = wine::WindowsPathOfHostPath(prefix, HostPathOf(typed), windowsPath);
    }
    switch (error) {
        case ERR_SUCCESS:
            return true;
        case ERR_NO_UNICODE_TRANSLATION:
            message = "The path '" + typed +
                      "' holds characters that Windows programs cannot use here (code page "
                      "1252): rename it and try again.";
            return false;
        default:
            message = "The path '" + typed + "' lies outside every drive of the Wine prefix '" +
                      prefix.string() +
                      "'. Move the file below one of the prefix's drives (its drive_c, or a "
                      "folder that 'winecfg' maps to a drive letter) and try again.";
            return false;
    }
}

}  // namespace parvane::cli
