#pragma once

// The layout of one entry of a content store: a key named by the entry's GUID text below the
// store key, holding text values under fixed names. The game, the cloaking tool and this
// program all read and write entries in this layout.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/Records.h"
#include "platform/Machine.h"

namespace parvane {

inline constexpr const char* VALUE_NAME = "Name";
inline constexpr const char* VALUE_FILENAME = "Filename";
inline constexpr const char* VALUE_AUDIO = "Audio";
inline constexpr const char* VALUE_MUSIC = "Music";
inline constexpr const char* VALUE_PICTURE = "Picture";
inline constexpr const char* VALUE_TEXT = "Text";
inline constexpr const char* VALUE_FLAG = "Flag";
inline constexpr const char* VALUE_LOGO = "Logo";

// Entry keys are created with this class.
inline constexpr const char* ENTRY_KEY_CLASS = "Parvane";

// Values are read through a buffer of this many bytes, terminator included.
inline constexpr std::uint32_t ENTRY_VALUE_CAPACITY = 256;
// Entry key names are enumerated through a buffer of this many characters, terminator included.
inline constexpr std::uint32_t ENTRY_KEY_NAME_CAPACITY = 128;

// One value of an entry and the field of the record that holds it.
struct EntryValue {
    const char* name;
    std::string* text;
};

// The values of a course entry and of a library entry, in the order they are written.
std::array<EntryValue, 8> CourseEntryValues(CourseRecord& course);
std::array<EntryValue, 2> LibraryEntryValues(LibraryRecord& library);

// storePath + "\" + keyName.
std::string EntryKeyPath(std::string_view storePath, std::string_view keyName);

// The text of one value of an open entry key, into `text`: empty when the value is missing or
// does not fit the buffer. Data of any type is taken up to its first zero byte. Any other
// failure to read the value is returned, with `text` empty; ERR_SUCCESS otherwise.
Win32Error ReadEntryValue(KeyHandle entry, const std::string& valueName, std::string& text);

}  // namespace parvane
