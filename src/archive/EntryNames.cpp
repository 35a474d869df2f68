#include "archive/EntryNames.h"

#include <array>

#include "base/PathText.h"
#include "platform/AsciiCase.h"

namespace parvane {

namespace {

bool IsControlCharacter(char c) {
    return static_cast<unsigned char>(c) < 32;
}

// Windows also reserves COM and LPT with the superscript digits 1, 2 and 3 (code page 1252).
bool IsDeviceDigit(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (c >= '1' && c <= '9') || u == 0xB9 || u == 0xB2 || u == 0xB3;
}

// Windows takes the part before the first dot, without trailing spaces, as the device name:
// "CON.txt", "con .log" and "Com1" all open a device.
bool IsDeviceName(std::string_view name) {
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') {
        stem.remove_suffix(1);
    }
    constexpr std::array<std::string_view, 6> DEVICES = {"CON", "PRN",    "AUX",
                                                         "NUL", "CONIN$", "CONOUT$"};
    for (std::string_view device : DEVICES) {
        if (EqualsNoCase(stem, device)) {
            return true;
        }
    }
    if (stem.size() != 4 || !IsDeviceDigit(stem[3])) {
        return false;
    }
    return EqualsNoCase(stem.substr(0, 3), "COM") || EqualsNoCase(stem.substr(0, 3), "LPT");
}

}  // namespace

std::string WindowsFileName(std::string_view name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
        name.remove_suffix(1);
    }
    return std::string(name);
}

std::string UnsafeFileNameReason(std::string_view component) {
    if (component.empty()) {
        return "the name is empty";
    }
    if (component == "." || component == "..") {
        return "the name is a folder reference";
    }
    for (char c : component) {
        if (c == '\\') {
            return "the name holds a backslash";
        }
        if (c == ':') {
            return "the name holds a colon";
        }
        if (IsControlCharacter(c)) {
            return "the name holds a control character";
        }
        if (IsForbiddenNameCharacter(c)) {
            return "the name holds a character that Windows forbids in file names";
        }
    }
    if (WindowsFileName(component).empty()) {
        return "the name is only dots and spaces";
    }
    if (IsDeviceName(component)) {
        return "the name is a device name";
    }
    return {};
}

bool IsPackerLeftover(std::string_view entryName) {
    std::string_view rest = entryName;
    for (std::size_t slash = rest.find('/'); slash != std::string_view::npos;
         slash = rest.find('/')) {
        if (EqualsNoCase(rest.substr(0, slash), "__MACOSX")) {
            return true;
        }
        rest.remove_prefix(slash + 1);
    }
    const std::string fileName = GetFileNamePart(entryName);
    return fileName.starts_with("._") || EqualsNoCase(fileName, ".DS_Store") ||
           EqualsNoCase(fileName, "Thumbs.db") || EqualsNoCase(fileName, "desktop.ini");
}

std::string PrintableName(std::string_view name) {
    std::string printable(name);
    for (char& c : printable) {
        if (IsControlCharacter(c)) {
            c = '?';
        }
    }
    return printable;
}

}  // namespace parvane
