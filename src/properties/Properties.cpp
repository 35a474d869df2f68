#include "properties/Properties.h"

#include <algorithm>
#include <cstdlib>

#include "base/GameFolders.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "platform/ErrorText.h"
#include "platform/Machine.h"
#include "properties/PropertyFileFormat.h"

namespace parvane {

namespace {

std::vector<PropertyEntry> propertyTable;  // sorted by key; equal keys in file order
std::string propertiesFolder;

// Each known key with its default; a null default is the game's install folder.
struct KnownPropertyDefault {
    KnownProperty property;
    const char* value;
};

constexpr KnownPropertyDefault KNOWN_PROPERTIES[] = {
    {{PROPERTY_WARN_ON_OVERWRITE_FILE, true}, "1"},
    {{PROPERTY_WARN_ON_CLOAKED_LIBRARIES, true}, "1"},
    {{PROPERTY_SAVE_PROPERTIES_ON_EXIT, true}, "1"},
    {{PROPERTY_ASK_FOR_TARGET_FOLDER, true}, "1"},
    {{PROPERTY_ASK_FOR_INSTALL_PROCEED, true}, "1"},
    {{PROPERTY_TARGET_FOLDER, false}, nullptr},
    {{PROPERTY_REMEMBER_OPEN_ARCHIVE_FOLDER, true}, "1"},
    {{PROPERTY_OPEN_ARCHIVE_FOLDER, false}, "c:\\"},
    {{PROPERTY_ASK_FOR_FLAG, true}, "0"},
    {{PROPERTY_ASK_FOR_FLAG_FOLDER, false}, "c:\\"},
    {{PROPERTY_USE_DEFAULT_LIBRARY_FOLDER, true}, "1"},
    {{PROPERTY_LIBRARY_FOLDER, false}, "c:\\"},
};

bool KeyBefore(const PropertyEntry& entry, std::string_view key) {
    return entry.key < key;
}
bool EntryBefore(const PropertyEntry& left, const PropertyEntry& right) {
    return left.key < right.key;
}

// The first entry of `key`, or nullptr.
PropertyEntry* FindEntry(std::string_view key) {
    const auto found = std::lower_bound(propertyTable.begin(), propertyTable.end(), key, KeyBefore);
    return found != propertyTable.end() && found->key == key ? &*found : nullptr;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != text.npos;
}

std::string PropertiesFilePath() {
    return JoinPath(propertiesFolder, PROPERTIES_FILE_NAME);
}

Win32Error ReadWholeFile(FileStream& stream, std::string& content) {
    char buffer[4096];
    for (;;) {
        const std::size_t count = stream.Read(buffer, sizeof buffer);
        content.append(buffer, count);
        if (count < sizeof buffer) {
            return stream.Error();
        }
    }
}

void WarnAboutRefusedLines(const std::string& path, const std::vector<int>& refusedLines) {
    std::string numbers;
    for (const int line : refusedLines) {
        numbers += (numbers.empty() ? "" : ", ") + std::to_string(line);
    }
    ShowWarning(
        "These lines of '%s' were ignored, because a key holds at most %d characters and a "
        "value at most %d: %s",
        path.c_str(), static_cast<int>(MAX_PROPERTY_KEY_LENGTH),
        static_cast<int>(MAX_PROPERTY_VALUE_LENGTH), numbers.c_str());
}

// Removes the new file of a save that failed; one that stays is named.
void RemoveNewFile(const std::string& path) {
    const Win32Error error = TheMachine().RemoveFile(path);
    if (error != ERR_SUCCESS) {
        ShowError("Couldn't remove file '%s', return code=%d", path.c_str(),
                  static_cast<int>(error));
    }
}

// Tells why the properties could not be saved in `path`; the reason is the system's.
void ShowSaveFailure(const std::string& path, Win32Error error) {
    ShowError("Couldn't save the properties in '%s': %s", path.c_str(),
              RuntimeErrorText(error).c_str());
}

// Writes `content` into a new file `newPath` beside `path`; false, after the message and with
// the new file removed, when it fails.
bool WriteNewFile(const std::string& path, const std::string& newPath, const std::string& content) {
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> stream = TheMachine().OpenFile(newPath, FileMode::Write, error);
    if (!stream) {
        ShowSaveFailure(path, error);
        return false;
    }
    const bool written = stream->Write(content.data(), content.size()) == content.size();
    const Win32Error writeError = written ? ERR_SUCCESS : stream->Error();
    const Win32Error closeError = stream->Close();
    error = writeError != ERR_SUCCESS ? writeError : closeError;
    if (error != ERR_SUCCESS) {
        ShowSaveFailure(path, error);
        RemoveNewFile(newPath);
        return false;
    }
    return true;
}

// The folders a person typed are kept in the one form that every path test takes apart.
void NormalizeFolderValue(PropertyEntry& entry) {
    for (const KnownPropertyDefault& known : KNOWN_PROPERTIES) {
        if (!known.property.isSwitch && entry.key == known.property.key) {
            entry.value = NormalizeFolderText(entry.value);
        }
    }
}

}  // namespace

bool LoadProperties(const std::string& folder) {
    if (!propertyTable.empty()) {
        return true;
    }
    propertiesFolder = folder;
    const std::string path = PropertiesFilePath();
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> stream = TheMachine().OpenFile(path, FileMode::Read, error);
    // Only a missing file means "no settings yet"; the defaults must never be saved over
    // settings that are there but could not be opened.
    if (!stream && error != ERR_FILE_NOT_FOUND && error != ERR_PATH_NOT_FOUND) {
        ShowError("Couldn't open file '%s': %s", path.c_str(), RuntimeErrorText(error).c_str());
        return false;
    }
    if (stream) {
        std::string content;
        error = ReadWholeFile(*stream, content);
        stream->Close();
        if (error != ERR_SUCCESS) {
            ShowError("Couldn't read file '%s': %s", path.c_str(), RuntimeErrorText(error).c_str());
            return false;
        }
        std::vector<int> refusedLines;
        propertyTable = ParsePropertyText(content, refusedLines);
        std::for_each(propertyTable.begin(), propertyTable.end(), NormalizeFolderValue);
        std::stable_sort(propertyTable.begin(), propertyTable.end(), EntryBefore);
        if (!refusedLines.empty()) {
            WarnAboutRefusedLines(path, refusedLines);
        }
    }
    ApplyPropertyDefaults();
    return true;
}

bool SaveProperties() {
    if (propertyTable.empty()) {
        return true;
    }
    if (propertiesFolder.empty()) {
        return false;  // never loaded: there is no file to replace
    }
    // The new content goes into a file beside the old one, which takes the old one's place in
    // one step once it is complete: at every moment the name holds one whole file.
    const std::string path = PropertiesFilePath();
    const std::string newPath = path + ".new";
    if (!WriteNewFile(path, newPath, FormatPropertyText(propertyTable))) {
        return false;
    }
    if (const Win32Error error = TheMachine().MoveFileOver(newPath, path); error != ERR_SUCCESS) {
        ShowSaveFailure(path, error);
        RemoveNewFile(newPath);
        return false;
    }
    return true;
}

std::string GetProperty(std::string_view key) {
    const PropertyEntry* entry = FindEntry(key);
    return entry != nullptr ? entry->value : std::string();
}

long GetPropertyNumber(std::string_view key) {
    return std::strtol(GetProperty(key).c_str(), nullptr, 10);
}

bool IsPropertyOn(std::string_view key) {
    return GetPropertyNumber(key) > 0;
}

bool SetProperty(std::string_view key, std::string_view value) {
    PropertyEntry* existing = FindEntry(key);
    PropertyEntry entry{std::string(key), std::string(value)};
    if (existing == nullptr) {
        entry = {TrimPropertyText(key), TrimPropertyText(value)};
    }
    NormalizeFolderValue(entry);
    if (entry.key.size() > MAX_PROPERTY_KEY_LENGTH || HasLineBreak(entry.key) ||
        entry.key.find('=') != std::string::npos) {
        ShowError(
            "Couldn't set property '%s': a key holds at most %d characters, no equals sign "
            "and no line break.",
            entry.key.c_str(), static_cast<int>(MAX_PROPERTY_KEY_LENGTH));
        return false;
    }
    if (entry.value.size() > MAX_PROPERTY_VALUE_LENGTH || HasLineBreak(entry.value)) {
        ShowError(
            "Couldn't set property '%s': a value holds at most %d characters and no line "
            "break.",
            entry.key.c_str(), static_cast<int>(MAX_PROPERTY_VALUE_LENGTH));
        return false;
    }
    if (existing != nullptr) {
        existing->value = std::move(entry.value);
        return true;
    }
    const auto position =
        std::upper_bound(propertyTable.begin(), propertyTable.end(), entry, EntryBefore);
    propertyTable.insert(position, std::move(entry));
    return true;
}

std::vector<KnownProperty> KnownProperties() {
    std::vector<KnownProperty> properties;
    for (const KnownPropertyDefault& known : KNOWN_PROPERTIES) {
        properties.push_back(known.property);
    }
    return properties;
}

void ApplyPropertyDefaults() {
    for (const KnownPropertyDefault& known : KNOWN_PROPERTIES) {
        if (GetProperty(known.property.key).empty()) {
            SetProperty(known.property.key,
                        known.value != nullptr ? known.value : GetGameInstallDir());
        }
    }
}

std::string TrimPropertyText(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    text.remove_prefix(first);
    const std::size_t last = text.find_last_not_of(" \n");
    return std::string(text.substr(0, last + 1));
}

void ResetProperties() {
    propertyTable.clear();
    propertiesFolder.clear();
}

}  // namespace parvane
