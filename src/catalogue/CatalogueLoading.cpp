#include "catalogue/CatalogueLoading.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/GameFolders.h"
#include "base/Messages.h"
#include "base/RegistryRoots.h"
#include "base/StateFolder.h"
#include "catalogue/Catalogue.h"
#include "catalogue/ContentFileFields.h"
#include "catalogue/GameDetection.h"
#include "catalogue/StoreEntries.h"
#include "catalogue/StoreSnapshot.h"
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

// What one load keeps while it runs: the folders examined for removal (none in a load of
// LoadScope::NoRemoval), the headers and the store entries of earlier loads (none without a state
// folder).
struct LoadMemo {
    bool examinesFolders = true;
    RemovableFolderMemo folders;
    std::optional<HeaderCache> headers;
    std::optional<StoreSnapshot> stores;

    HeaderCache* Headers() { return headers ? &*headers : nullptr; }
    // Before any call to the machine (see HeaderCache::TakeStatusesAhead).
    void AwaitStatuses() {
        if (headers) {
            headers->AwaitStatuses();
        }
    }
    // Before the courses' files are looked at, which waits for the machine where it needs it.
    void AwaitCourseStatuses() {
        if (headers) {
            headers->AwaitCourseStatuses();
        }
    }
};

// What differs between the course stores and the library stores.
struct CourseEntries {
    using Record = CourseRecord;
    static constexpr const char* STALE_MESSAGE = STALE_COURSE_MESSAGE;
    static constexpr std::size_t VALUE_COUNT = 8;

    static auto Values(Record& course) { return CourseEntryValues(course); }
    static void AwaitStatuses(LoadMemo& memo) { memo.AwaitCourseStatuses(); }
    static std::string GuidText(std::string_view keyName) { return std::string(keyName); }
    static std::vector<HeaderCache::Place> TakeCachedFields(std::span<Record> courses,
                                                            HeaderCache& headers) {
        return TakeCachedCourseFields(courses, headers);
    }
    static void FillFromFiles(std::span<Record> courses, LoadMemo& memo,
                              std::span<const HeaderCache::Place> cached) {
        FillFromCourseFiles(courses, &memo.folders, memo.Headers(), cached);
    }
    static void FillHeadersFromFiles(std::span<Record> courses, LoadMemo& memo,
                                     std::span<const HeaderCache::Place> cached) {
        FillHeadersFromCourseFiles(courses, memo.Headers(), cached);
    }
};

struct LibraryEntries {
    using Record = LibraryRecord;
    static constexpr const char* STALE_MESSAGE = STALE_LIBRARY_MESSAGE;
    static constexpr std::size_t VALUE_COUNT = 2;

    static auto Values(Record& library) { return LibraryEntryValues(library); }
    static void AwaitStatuses(LoadMemo& memo) { memo.AwaitStatuses(); }
    static std::string GuidText(std::string_view keyName) { return ToUpperAscii(keyName); }
    static std::vector<HeaderCache::Place> TakeCachedFields(std::span<Record> libraries,
                                                            HeaderCache& headers) {
        return TakeCachedLibraryFields(libraries, headers);
    }
    static void FillFromFiles(std::span<Record> libraries, LoadMemo& memo,
                              std::span<const HeaderCache::Place> cached) {
        FillFromLibraryFiles(libraries, &memo.folders, memo.Headers(), cached);
    }
    static void FillHeadersFromFiles(std::span<Record> libraries, LoadMemo& memo,
                                     std::span<const HeaderCache::Place> cached) {
        FillHeadersFromLibraryFiles(libraries, memo.Headers(), cached);
    }
};

// One entry read from the registry into `loaded`, and kept for the next load.
template <typename Entries>
bool LoadEntry(const std::string& storePath, const std::string& keyName,
               std::vector<typename Entries::Record>& loaded, LoadMemo& memo) {
    RegistryKey entry;
    if (!OpenForReading(entry, EntryKeyPath(storePath, keyName))) {
        return false;
    }
    typename Entries::Record record;
    record.guidText = Entries::GuidText(keyName);
    const auto values = Entries::Values(record);
    if (!ReadEntryValues(entry, values)) {
        return false;
    }
    entry.Close();
    if (memo.stores) {
        memo.stores->KeepEntry(keyName, values);
    }
    loaded.push_back(std::move(record));
    return true;
}

// The entries of a store from the registry.
template <typename Entries>
bool ReadStore(const std::string& storePath, StaleEntryFilter isStale,
               std::vector<typename Entries::Record>& loaded, LoadMemo& memo) {
    memo.AwaitStatuses();
    RegistryKey store;
    if (!OpenForReading(store, storePath)) {
        return false;
    }
    if (memo.stores) {
        memo.stores->KeepStore(storePath, Entries::VALUE_COUNT);
    }
    return ForEachEntry(store, storePath, isStale, Entries::STALE_MESSAGE,
                        [&](const std::string& keyName) {
                            return LoadEntry<Entries>(storePath, keyName, loaded, memo);
                        });
}

// The entries of a store as an earlier load read them, the registry being as it was then; the
// stale ones are deleted as a reading of the registry deletes them. False, with nothing taken,
// when the snapshot cannot be read again. Without stale entries it makes no call to the machine
// but the snapshot's reads.
template <typename Entries>
bool TakeStoreFromSnapshot(const std::string& storePath, StaleEntryFilter isStale,
                           std::vector<typename Entries::Record>& loaded,
                           const StoreSnapshot& snapshot) {
    std::vector<std::string> staleNames;
    loaded.reserve(snapshot.EntryCount(storePath));
    const bool taken = snapshot.ForEachEntry(
        storePath, [&](std::string_view keyName, std::span<const std::string_view> texts) {
            if (isStale != nullptr && isStale(keyName)) {
                staleNames.emplace_back(keyName);
                return;
            }
            typename Entries::Record& record = loaded.emplace_back();
            record.guidText = Entries::GuidText(keyName);
            const auto values = Entries::Values(record);
            // Each value made where it is moved in: cheaper than an assignment to the empty
            // strings of a new record, for tens of thousands of records.
            for (std::size_t i = 0; i < values.size(); ++i) {
                *values[i].text = std::string(texts[i]);
            }
        });
    if (!taken) {
        loaded.clear();
        return false;
    }
    DeleteStaleEntries(storePath, staleNames, Entries::STALE_MESSAGE);
    return true;
}

// The records of a store: from the snapshot while the registry is as an earlier load read it,
// else from the registry.
template <typename Entries>
bool TakeRecords(const std::string& storePath, StaleEntryFilter isStale,
                 std::vector<typename Entries::Record>& records, LoadMemo& memo) {
    return (memo.stores && memo.stores->Holds(storePath, Entries::VALUE_COUNT) &&
            TakeStoreFromSnapshot<Entries>(storePath, isStale, records, *memo.stores)) ||
           ReadStore<Entries>(storePath, isStale, records, memo);
}

// Where the header cache holds the fields of the records' files, those fields put into them on
// trust; nothing without a cache.
template <typename Entries>
std::vector<HeaderCache::Place> TakeCachedFields(std::vector<typename Entries::Record>& records,
                                                 LoadMemo& memo) {
    return memo.headers ? Entries::TakeCachedFields(records, *memo.headers)
                        : std::vector<HeaderCache::Place>();
}

// The records' files looked at, all together, also when an entry stopped the load: the records
// already taken are listed. Sorted once, after the whole store. The cached fields go into the
// records while statuses taken ahead may still be coming.
template <typename Entries>
void ListRecords(std::vector<typename Entries::Record> records,
                 RecordList<typename Entries::Record>& list, LoadMemo& memo) {
    const std::vector<HeaderCache::Place> cached = TakeCachedFields<Entries>(records, memo);
    Entries::AwaitStatuses(memo);
    if (memo.examinesFolders) {
        Entries::FillFromFiles(records, memo, cached);
    } else {
        Entries::FillHeadersFromFiles(records, memo, cached);
    }
    list.AppendUnsorted(std::move(records));
    list.Sort();
}

template <typename Entries>
bool LoadStore(const std::string& storePath, RecordList<typename Entries::Record>& list,
               StaleEntryFilter isStale, LoadMemo& memo) {
    std::vector<typename Entries::Record> records;
    const bool loaded = TakeRecords<Entries>(storePath, isStale, records, memo);
    ListRecords<Entries>(std::move(records), list, memo);
    return loaded;
}

// One store's entries from the registry into the snapshot, as they are, stale ones included;
// false at the first thing that cannot be read, which the load then meets and reports itself.
template <typename Entries>
bool KeepStoreQuietly(const std::string& storePath, StoreSnapshot& snapshot) {
    RegistryKey store;
    if (store.Open(GAME_HIVE, storePath) != ERR_SUCCESS) {
        return false;
    }
    snapshot.KeepStore(storePath, Entries::VALUE_COUNT);
    typename Entries::Record record;
    const auto values = Entries::Values(record);
    std::string keyName;
    for (std::uint32_t index = 0;; ++index) {
        const Win32Error status =
            TheMachine().EnumKey(store.Handle(), index, ENTRY_KEY_NAME_CAPACITY, keyName);
        if (status == ERR_NO_MORE_ITEMS || status == ERR_MORE_DATA) {
            return true;
        }
        RegistryKey entry;
        if (status != ERR_SUCCESS ||
            entry.Open(GAME_HIVE, EntryKeyPath(storePath, keyName)) != ERR_SUCCESS) {
            return false;
        }
        for (const EntryValue& value : values) {
            if (ReadEntryValue(entry.Handle(), value.name, *value.text) != ERR_SUCCESS) {
                return false;
            }
        }
        snapshot.KeepEntry(keyName, values);
    }
}

// Whether the snapshot holds every store the load reads.
bool HoldsEveryStore(const StoreSnapshot& snapshot, bool withCloakedStores) {
    return snapshot.Holds(GAME_COURSES_KEY, CourseEntries::VALUE_COUNT) &&
           snapshot.Holds(GAME_LIBRARIES_KEY, LibraryEntries::VALUE_COUNT) &&
           (!withCloakedStores ||
            (snapshot.Holds(CLOAK_COURSES_KEY, CourseEntries::VALUE_COUNT) &&
             snapshot.Holds(CLOAK_LIBRARIES_KEY, LibraryEntries::VALUE_COUNT)));
}

// The records come from the snapshot of the registry as it is: without one, the load takes one
// of every store it reads and saves it before it builds a single record. The registry is then
// let go, so that tens of thousands of entries are never held both as the registry's text and
// as records. Nothing is reported here: when a store cannot be read whole, or the snapshot
// cannot be saved, the load reads the registry as it does without a state folder.
void TakeSnapshotFirst(LoadMemo& memo, bool withCloakedStores) {
    if (!memo.stores->Keeps()) {
        return;
    }
    if (!HoldsEveryStore(*memo.stores, withCloakedStores)) {
        StoreSnapshot& snapshot = *memo.stores;
        const bool kept = KeepStoreQuietly<CourseEntries>(GAME_COURSES_KEY, snapshot) &&
                          KeepStoreQuietly<LibraryEntries>(GAME_LIBRARIES_KEY, snapshot) &&
                          (!withCloakedStores ||
                           (KeepStoreQuietly<CourseEntries>(CLOAK_COURSES_KEY, snapshot) &&
                            KeepStoreQuietly<LibraryEntries>(CLOAK_LIBRARIES_KEY, snapshot)));
        snapshot.Save(kept);
        memo.stores.emplace();
    }
    if (HoldsEveryStore(*memo.stores, withCloakedStores)) {
        TheMachine().ReleaseRegistry();
    }
}

// The game's own stores: the records of both first, then their files. With the registry as an
// earlier load read it, the records come from the snapshot, and the header cache's fields go
// into them, while the statuses of the files the cache knows are taken on other threads; the
// courses' files are looked at while the libraries' statuses are still taken.
bool LoadInstalledStores(Catalogue& catalogue, const std::string& installFolder, LoadMemo& memo) {
    if (memo.headers && memo.stores && !installFolder.empty() &&
        memo.stores->Holds(GAME_COURSES_KEY, CourseEntries::VALUE_COUNT) &&
        memo.stores->Holds(GAME_LIBRARIES_KEY, LibraryEntries::VALUE_COUNT)) {
        if (memo.examinesFolders) {
            ExpandInstallFolder(memo.folders);
        }
        memo.headers->TakeStatusesAhead(installFolder);
    }
    std::vector<CourseRecord> courses;
    std::vector<LibraryRecord> libraries;
    const bool taken = TakeRecords<CourseEntries>(GAME_COURSES_KEY, nullptr, courses, memo) &&
                       TakeRecords<LibraryEntries>(GAME_LIBRARIES_KEY, nullptr, libraries, memo);
    ListRecords<CourseEntries>(std::move(courses), catalogue.installedCourses, memo);
    ListRecords<LibraryEntries>(std::move(libraries), catalogue.installedLibraries, memo);
    return taken;
}

}  // namespace

void ReadCatalogueStateAhead() {
    HeaderCache::ReadAhead();
    StoreSnapshot::ReadAhead();
}

void DropCatalogueStateReadAhead() {
    HeaderCache::DropReadAhead();
    StoreSnapshot::DropReadAhead();
}

bool LoadCatalogue(LoadScope scope) {
    Catalogue& catalogue = TheCatalogue();
    catalogue.installedCourses.Clear();
    catalogue.cloakedCourses.Clear();
    catalogue.installedLibraries.Clear();
    catalogue.cloakedLibraries.Clear();

    // Each folder is examined once per load, however many entries it holds; the next load
    // looks again. The headers of unchanged files come from the cache of the state folder.
    LoadMemo memo;
    memo.examinesFolders = scope == LoadScope::Everything;
    if (!StateFolder().empty()) {
        memo.headers.emplace();
        if (!memo.examinesFolders) {
            memo.headers->LeaveFoldersUnexamined();
        }
        memo.stores.emplace();
    }
    // Asked before the registry may be let go, so that it is not read again for it.
    const std::string installFolder = GetGameInstallDir();
    const bool withCloakedStores = IsCloakingToolPresent();
    if (memo.stores) {
        TakeSnapshotFirst(memo, withCloakedStores);
    }
    // The installed lists first: the stale-entry filters of the cloaked loads look into them.
    const bool loaded = LoadInstalledStores(catalogue, installFolder, memo) &&
                        (!withCloakedStores ||
                         (LoadStore<CourseEntries>(CLOAK_COURSES_KEY, catalogue.cloakedCourses,
                                                   IsCourseInstalled, memo) &&
                          LoadStore<LibraryEntries>(CLOAK_LIBRARIES_KEY, catalogue.cloakedLibraries,
                                                    IsLibraryInstalled, memo)));
    // Only a whole load knows which entries are gone.
    if (loaded && memo.headers) {
        memo.headers->Save();
    }
    if (memo.stores) {
        memo.stores->Save(loaded);
    }
    return loaded;
}

}  // namespace parvane
