#pragma once

// The program's settings: a table of text key/value pairs kept sorted by key (byte order, so
// "A" sorts before "a"), loaded from and saved to "Parvane.properties" in the program's
// folder. Keys the program does not know are kept and written back; a key may appear twice
// (both entries are kept and saved; lookups find the one that came first in the file).

#include <string>
#include <string_view>
#include <vector>

namespace parvane {

inline constexpr const char* PROPERTIES_FILE_NAME = "Parvane.properties";
inline constexpr std::size_t MAX_PROPERTY_KEY_LENGTH = 79;
inline constexpr std::size_t MAX_PROPERTY_VALUE_LENGTH = 255;

inline constexpr const char* PROPERTY_WARN_ON_OVERWRITE_FILE = "WarnOnOverwriteFile";
inline constexpr const char* PROPERTY_WARN_ON_CLOAKED_LIBRARIES = "WarnOnCloakedLibraries";
inline constexpr const char* PROPERTY_SAVE_PROPERTIES_ON_EXIT = "SavePropertiesOnExit";
inline constexpr const char* PROPERTY_ASK_FOR_TARGET_FOLDER = "AskForTargetFolder";
inline constexpr const char* PROPERTY_ASK_FOR_INSTALL_PROCEED = "AskForInstallProceed";
inline constexpr const char* PROPERTY_TARGET_FOLDER = "TargetFolder";
inline constexpr const char* PROPERTY_REMEMBER_OPEN_ARCHIVE_FOLDER = "RememberOpenArchiveFolder";
inline constexpr const char* PROPERTY_OPEN_ARCHIVE_FOLDER = "OpenArchiveFolder";
inline constexpr const char* PROPERTY_ASK_FOR_FLAG = "AskForFlag";
inline constexpr const char* PROPERTY_ASK_FOR_FLAG_FOLDER = "AskForFlagFolder";
inline constexpr const char* PROPERTY_USE_DEFAULT_LIBRARY_FOLDER = "UseDefaultLibraryFolder";
inline constexpr const char* PROPERTY_LIBRARY_FOLDER = "LibraryFolder";

// A property the program knows: a switch ("1" on, "0" off) or a folder.
struct KnownProperty {
    const char* key;
    bool isSwitch;
};

struct PropertyEntry {
    std::string key;    // at most MAX_PROPERTY_KEY_LENGTH characters
    std::string value;  // at most MAX_PROPERTY_VALUE_LENGTH characters

    bool operator==(const PropertyEntry&) const = default;
};

// Loads the file of `folder` once per run (later calls do nothing) and applies the defaults.
// A missing file is not an error. False, after an Error box, when the file is there but
// cannot be opened or read.
bool LoadProperties(const std::string& folder);

// Writes the table to the file of the folder given to LoadProperties: into a new file first,
// which then replaces the old one in one step. False when it cannot be written or moved into
// place, after an Error box that names the file and the system's reason; the old file then
// stays as it was, and the new one is removed.
bool SaveProperties();
// What each caller adds when SaveProperties fails.
inline constexpr const char* PROPERTIES_NOT_SAVED_MESSAGE =
    "Error during saving of program properties";

// The value of `key` (compared byte for byte), empty when there is none.
std::string GetProperty(std::string_view key);

// A switch's value read as a decimal integer (atoi rules: an empty or non-numeric text is 0).
long GetPropertyNumber(std::string_view key);
// A switch is on when its number is greater than 0.
bool IsPropertyOn(std::string_view key);

// Replaces the value of `key` as given, or adds a new entry of the trimmed key and value.
// Refuses, with an Error box, a key or value that does not fit the file: a key longer than
// MAX_PROPERTY_KEY_LENGTH or holding '=', a value longer than MAX_PROPERTY_VALUE_LENGTH, a
// line break in either.
bool SetProperty(std::string_view key, std::string_view value);

// The twelve known properties, in the order their defaults are applied.
std::vector<KnownProperty> KnownProperties();

// Gives every known key whose value is empty its default, in a fixed order.
void ApplyPropertyDefaults();

// Without leading spaces (tabs stay), trailing spaces and trailing line feeds.
std::string TrimPropertyText(std::string_view text);

}  // namespace parvane
