#include "catalogue/CatalogueLoading.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Messages.h"
#include "base/RegistryRoots.h"
#include "base/StateFolder.h"
#include "catalogue/Catalogue.h"
#include "catalogue/ContentFileFields.h"
#include "catalogue/GameDetection.h"
#include "catalogue/StoreEntries.h"
#include "platform/AsciiCase.h"
#include "platform/RegistryKey.h"

namespace parvane {

namespace {

// Answers, for an entry's key name as enumerated, whether the entry is stale: a stale entry is
// deleted instead of listed.
using StaleEntryFilter = bool (*)(std::string_view keyName);

constexpr const char* OPEN_FAILED_MESSAGE = "RegOpenKeyEx returned %ld";
constexpr const char* STALE_COURSE_MESSAGE =
    "Failed to remove cloaked entry for course with ID=%s\nThis course will remain in the "
    "cloaked store, but will not be\nlisted on screen.";
constexpr const char* STALE_LIBRARY_MESSAGE =
    "Failed to remove cloaked entry for library with ID=%s\nThis library will remain in the "
    "cloaked store, but will not be\nlisted on screen.";

// Opens a key for reading, with the message when it cannot be opened.
bool OpenForReading(RegistryKey& key, const std::string& path) {
    const Win32Error status = key.Open(GAME_HIVE, path);
    if (status != ERR_SUCCESS) {
        ShowError(OPEN_FAILED_MESSAGE, static_cast<long>(status));
        return false;
    }
    return true;
}

// Deletes the stale entries together (on the Wine backend the registry file is written once,
// not once per entry) and reports each one that stays.
void DeleteStaleEntries(const std::string& storePath, const std::vector<std::string>& keyNames,
                        const char* staleFailureMessage) {
    if (keyNames.empty()) {
        return;
    }
    std::vector<Win32Error> results;
    TheMachine().DeleteSubkeys(GAME_HIVE, storePath, keyNames, results);
    for (std::size_t i = 0; i < keyNames.size(); ++i) {
        if (i >= results.size() || results[i] != ERR_SUCCESS) {
            ShowError(staleFailureMessage, keyNames[i].c_str());
        }
    }
}

// `loadEntry` is called with every key name that is not stale and may stop the load by
// returning false. The stale entries met until then are deleted after the enumeration, so
// that it sees every key at the index it had. The enumeration ends at the end of the list or
// at a key name too long for the buffer; any other status fails the load, which would
// otherwise go on with part of the store.
template <typename LoadEntry>
bool ForEachEntry(const RegistryKey& store, const std::string& storePath, StaleEntryFilter isStale,
                  const char* staleFailureMessage, LoadEntry&& loadEntry) {
    std::string keyName;
    std::vector<std::string> staleNames;
    bool loaded = true;
    std::uint32_t index = 0;
    Win32Error status = ERR_SUCCESS;
    while (loaded && (status = TheMachine().EnumKey(store.Handle(), index, ENTRY_KEY_NAME_CAPACITY,
                                                    keyName)) == ERR_SUCCESS) {
        if (isStale != nullptr && isStale(keyName)) {
            staleNames.push_back(keyName);
        } else {
            loaded = loadEntry(keyName);
        }
        ++index;
    }
    DeleteStaleEntries(storePath, staleNames, staleFailureMessage);
    if (loaded && status != ERR_NO_MORE_ITEMS && status != ERR_MORE_DATA) {
        ShowError("RegEnumKeyEx returned %ld", static_cast<long>(status));
        return false;
    }
    return loaded;
}

// Reads the values of an entry into their fields, in order. A value that is there but cannot
// be read stops the load: an entry loaded without it could lead to the wrong files.
template <std::size_t Count>
bool ReadEntryValues(const RegistryKey& entry, const std::array<EntryValue, Count>& values) {
    for (const EntryValue& value : values) {
        if (const Win32Error status = ReadEntryValue(entry.Handle(), value.name, *value.text);
            status != ERR_SUCCESS) {
            ShowError("RegQueryValueEx returned %ld", static_cast<long>(status));
            return false;
        }
    }
    return true;
}

// What one load keeps while it runs: the folders examined for removal, and the headers of
// earlier loads (none without a state folder).
struct LoadMemo {
    RemovableFolderMemo folders;
    std::optional<HeaderCache> headers;

    HeaderCache* Headers() { return headers ? &*headers : nullptr; }
};

bool LoadCourseEntry(const std::string& storePath, const std::string& keyName,
                     std::vector<CourseRecord>& loaded) {
    RegistryKey entry;
    if (!OpenForReading(entry, EntryKeyPath(storePath, keyName))) {
        return false;
    }
    CourseRecord course;
    course.guidText = keyName;
    if (!ReadEntryValues(entry, CourseEntryValues(course))) {
        return false;
    }
    entry.Close();
    loaded.push_back(std::move(course));
    return true;
}

bool LoadLibraryEntry(const std::string& storePath, const std::string& keyName,
                      std::vector<LibraryRecord>& loaded) {
    RegistryKey entry;
    if (!OpenForReading(entry, EntryKeyPath(storePath, keyName))) {
        return false;
    }
    LibraryRecord library;
    library.guidText = ToUpperAscii(keyName);
    if (!ReadEntryValues(entry, LibraryEntryValues(library))) {
        return false;
    }
    entry.Close();
    loaded.push_back(std::move(library));
    return true;
}

bool LoadCourses(const std::string& storePath, CourseList& list, StaleEntryFilter isStale,
                 LoadMemo& memo) {
    RegistryKey store;
    if (!OpenForReading(store, storePath)) {
        return false;
    }
    std::vector<CourseRecord> courses;
    const bool loaded = ForEachEntry(
        store, storePath, isStale, STALE_COURSE_MESSAGE,
        [&](const std::string& keyName) { return LoadCourseEntry(storePath, keyName, courses); });
    // The files of the whole store together, also when an entry stopped the load: the records
    // already listed stay. Sorted once, after the whole store.
    FillFromCourseFiles(courses, &memo.folders, memo.Headers());
    list.AppendUnsorted(std::move(courses));
    list.Sort();
    return loaded;
}

bool LoadLibraries(const std::string& storePath, LibraryList& list, StaleEntryFilter isStale,
                   LoadMemo& memo) {
    RegistryKey store;
    if (!OpenForReading(store, storePath)) {
        return false;
    }
    std::vector<LibraryRecord> libraries;
    const bool loaded = ForEachEntry(store, storePath, isStale, STALE_LIBRARY_MESSAGE,
                                     [&](const std::string& keyName) {
                                         return LoadLibraryEntry(storePath, keyName, libraries);
                                     });
    FillFromLibraryFiles(libraries, &memo.folders, memo.Headers());
    list.AppendUnsorted(std::move(libraries));
    list.Sort();
    return loaded;
}

}  // namespace

bool LoadCatalogue() {
    Catalogue& catalogue = TheCatalogue();
    catalogue.installedCourses.Clear();
    catalogue.cloakedCourses.Clear();
    catalogue.installedLibraries.Clear();
    catalogue.cloakedLibraries.Clear();

    // Each folder is examined once per load, however many entries it holds; the next load
    // looks again. The headers of unchanged files come from the cache of the state folder.
    LoadMemo memo;
    if (!StateFolder().empty()) {
        memo.headers.emplace();
    }
    // The installed lists first: the stale-entry filters of the cloaked loads look into them.
    const bool loaded =
        LoadCourses(GAME_COURSES_KEY, catalogue.installedCourses, nullptr, memo) &&
        LoadLibraries(GAME_LIBRARIES_KEY, catalogue.installedLibraries, nullptr, memo) &&
        (!IsCloakingToolPresent() ||
         (LoadCourses(CLOAK_COURSES_KEY, catalogue.cloakedCourses, IsCourseInstalled, memo) &&
          LoadLibraries(CLOAK_LIBRARIES_KEY, catalogue.cloakedLibraries, IsLibraryInstalled,
                        memo)));
    // Only a whole load knows which entries are gone.
    if (loaded && memo.headers) {
        memo.headers->Save();
    }
    return loaded;
}

}  // namespace parvane
