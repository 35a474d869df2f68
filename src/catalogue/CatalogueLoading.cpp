#include "catalogue/CatalogueLoading.h"

#include <initializer_list>
#include <utility>

#include "base/AsciiCase.h"
#include "base/Messages.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/ContentFileFields.h"
#include "catalogue/GameDetection.h"
#include "catalogue/StoreEntries.h"
#include "platform/RegistryKey.h"

namespace parvane {

namespace {

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

// Deleting a stale entry moves the entries behind it down by one, so after a deletion the
// same index is read again. An entry that cannot be deleted is reported and passed over; a
// deletion whose write failed counts as failed.
// `loadEntry` is called with every other key name and may stop the load by returning false.
// The enumeration ends at the end of the list or at a key name too long for the buffer; any
// other status fails the load, which would otherwise go on with part of the store.
template <typename LoadEntry>
bool ForEachEntry(const RegistryKey& store, const std::string& storePath, StaleEntryFilter isStale,
                  const char* staleFailureMessage, LoadEntry&& loadEntry) {
    std::string keyName;
    std::uint32_t index = 0;
    Win32Error status = ERR_SUCCESS;
    while ((status = TheMachine().EnumKey(store.Handle(), index, ENTRY_KEY_NAME_CAPACITY,
                                          keyName)) == ERR_SUCCESS) {
        if (isStale != nullptr && isStale(keyName)) {
            if (TheMachine().DeleteKey(GAME_HIVE, EntryKeyPath(storePath, keyName)) !=
                ERR_SUCCESS) {
                ShowError(staleFailureMessage, keyName.c_str());
                // A deletion that could not be written down may still have taken the key out
                // of the store as the machine shows it: pass over only a key still standing.
                std::string standing;
                if (TheMachine().EnumKey(store.Handle(), index, ENTRY_KEY_NAME_CAPACITY,
                                         standing) == ERR_SUCCESS &&
                    standing == keyName) {
                    ++index;
                }
            }
            continue;
        }
        if (!loadEntry(keyName)) {
            return false;
        }
        ++index;
    }
    if (status != ERR_NO_MORE_ITEMS && status != ERR_MORE_DATA) {
        ShowError("RegEnumKeyEx returned %ld", static_cast<long>(status));
        return false;
    }
    return true;
}

// Reads the values of an entry into their fields, in order. A value that is there but cannot
// be read stops the load: an entry loaded without it could lead to the wrong files.
bool ReadEntryValues(const RegistryKey& entry,
                     std::initializer_list<std::pair<const char*, std::string*>> values) {
    for (const auto& [name, field] : values) {
        if (const Win32Error status = ReadEntryValue(entry.Handle(), name, *field);
            status != ERR_SUCCESS) {
            ShowError("RegQueryValueEx returned %ld", static_cast<long>(status));
            return false;
        }
    }
    return true;
}

bool LoadCourseEntry(const std::string& storePath, const std::string& keyName, CourseList& list) {
    RegistryKey entry;
    if (!OpenForReading(entry, EntryKeyPath(storePath, keyName))) {
        return false;
    }
    CourseRecord course;
    course.guidText = keyName;
    if (!ReadEntryValues(entry, {{VALUE_NAME, &course.name},
                                 {VALUE_FILENAME, &course.filename},
                                 {VALUE_AUDIO, &course.audio},
                                 {VALUE_MUSIC, &course.music},
                                 {VALUE_PICTURE, &course.picture},
                                 {VALUE_TEXT, &course.text},
                                 {VALUE_FLAG, &course.flag},
                                 {VALUE_LOGO, &course.logo}})) {
        return false;
    }
    entry.Close();
    FillFromCourseFile(course);
    list.AppendUnsorted(std::move(course));
    return true;
}

bool LoadLibraryEntry(const std::string& storePath, const std::string& keyName, LibraryList& list) {
    RegistryKey entry;
    if (!OpenForReading(entry, EntryKeyPath(storePath, keyName))) {
        return false;
    }
    LibraryRecord library;
    library.guidText = ToUpperAscii(keyName);
    if (!ReadEntryValues(entry,
                         {{VALUE_NAME, &library.name}, {VALUE_FILENAME, &library.filename}})) {
        return false;
    }
    entry.Close();
    FillFromLibraryFile(library);
    list.AppendUnsorted(std::move(library));
    return true;
}

}  // namespace

bool LoadCourseStore(const std::string& storePath, CourseList& list, StaleEntryFilter isStale) {
    RegistryKey store;
    if (!OpenForReading(store, storePath)) {
        return false;
    }
    const bool loaded = ForEachEntry(
        store, storePath, isStale, STALE_COURSE_MESSAGE,
        [&](const std::string& keyName) { return LoadCourseEntry(storePath, keyName, list); });
    // Sorted once, after the whole store, also when an entry stopped the load: the records
    // already listed stay and stay in order.
    list.Sort();
    return loaded;
}

bool LoadLibraryStore(const std::string& storePath, LibraryList& list, StaleEntryFilter isStale) {
    RegistryKey store;
    if (!OpenForReading(store, storePath)) {
        return false;
    }
    const bool loaded = ForEachEntry(
        store, storePath, isStale, STALE_LIBRARY_MESSAGE,
        [&](const std::string& keyName) { return LoadLibraryEntry(storePath, keyName, list); });
    list.Sort();
    return loaded;
}

bool LoadCatalogue() {
    Catalogue& catalogue = TheCatalogue();
    catalogue.installedCourses.Clear();
    catalogue.cloakedCourses.Clear();
    catalogue.installedLibraries.Clear();
    catalogue.cloakedLibraries.Clear();

    // The installed lists first: the stale-entry filters of the cloaked loads look into them.
    if (!LoadCourseStore(GAME_COURSES_KEY, catalogue.installedCourses, nullptr) ||
        !LoadLibraryStore(GAME_LIBRARIES_KEY, catalogue.installedLibraries, nullptr)) {
        return false;
    }
    if (!IsCloakingToolPresent()) {
        return true;
    }
    return LoadCourseStore(CLOAK_COURSES_KEY, catalogue.cloakedCourses, IsCourseInstalled) &&
           LoadLibraryStore(CLOAK_LIBRARIES_KEY, catalogue.cloakedLibraries, IsLibraryInstalled);
}

}  // namespace parvane
