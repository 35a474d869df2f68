#include "catalogue/Registration.h"

#include <algorithm>
#include <array>
#include <functional>
#include <span>
#include <string>
#include <utility>

#include "base/Messages.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/ContentFileFields.h"
#include "catalogue/StoreEntries.h"
#include "journal/Change.h"
#include "platform/RegistryKey.h"

namespace parvane {

namespace {

// A value longer than this would not fit the buffer through which the game's entries are
// read back: it is refused rather than stored unreadable.
constexpr std::size_t MAX_VALUE_LENGTH = ENTRY_VALUE_CAPACITY - 1;

template <std::size_t Count>
bool ValuesFit(const std::string& guidText, const std::array<EntryValue, Count>& values) {
    for (const EntryValue& value : values) {
        if (value.text->size() > MAX_VALUE_LENGTH) {
            ShowError(
                "The value \"%s\" of the entry %s is longer than %d characters and "
                "cannot be registered.",
                value.name, guidText.c_str(), static_cast<int>(MAX_VALUE_LENGTH));
            return false;
        }
    }
    return true;
}

template <typename Record>
bool IsOneOf(const Record& record, std::span<const Record> list) {
    const std::less<const Record*> before;
    return !list.empty() && !before(&record, list.data()) &&
           before(&record, list.data() + list.size());
}

// The store an entry was listed from. The same GUID may stand in both stores, in other letter
// cases (key names ignore case): a record of a list answers for itself, any other record by
// the cloaked list holding its GUID text exactly.
template <typename Record>
bool IsListedAsCloaked(const Record& record, std::span<const Record> installed,
                       std::span<const Record> cloaked) {
    if (IsOneOf(record, cloaked) || IsOneOf(record, installed)) {
        return IsOneOf(record, cloaked);
    }
    return std::any_of(cloaked.begin(), cloaked.end(),
                       [&](const Record& listed) { return listed.guidText == record.guidText; });
}

// The status and key name of a change the registry did not keep.
std::string SaveFailure(const std::string& keyPath, Win32Error status) {
    std::string text =
        "Couldn't save the registry entry '" + keyPath + "', return code=" + std::to_string(status);
    if (status == ERR_SHARING_VIOLATION) {
        text +=
            "\nThe game or another program of its Wine prefix started while Parvane worked, and "
            "now holds the registry.\nClose it, then run Parvane again.";
    }
    return text;
}

// What the Wine backend answers when it could not write a change down: the change did not
// happen.
bool IsSaveFailure(Win32Error status) {
    return status == ERR_CANTWRITE || status == ERR_SHARING_VIOLATION;
}

// A registration that cannot be completed takes back the entry key it created, so that the game
// never finds a half-written entry. A key still open is deleted before it is closed: on the Wine
// backend closing it would write the half-written entry first.
std::string WithdrawNewEntry(const std::string& keyPath) {
    const Win32Error status = TheMachine().DeleteKey(GAME_HIVE, keyPath);
    // Gone already, or never written down: either way the registry holds no such entry.
    return status == ERR_SUCCESS || status == ERR_FILE_NOT_FOUND || IsSaveFailure(status)
               ? "\nThe new entry was removed again."
               : "\nThe new entry '" + keyPath +
                     "' could not be removed again, return code=" + std::to_string(status) + ".";
}

// Creates or opens the entry key in the game's store, writes the values in their order, each
// without a terminator, and closes the key, which is where the Wine backend writes the change.
// The first failure stops the writing: an entry key this call created is then deleted again,
// one that existed before keeps the values already written.
template <std::size_t Count>
bool WriteEntry(const std::string& storePath, const std::string& guidText,
                const std::array<EntryValue, Count>& values) {
    if (!ValuesFit(guidText, values)) {
        return false;
    }
    const std::string keyPath = EntryKeyPath(storePath, guidText);
    RegistryKey entry;
    // Anything but a clear "not there" counts as an entry that was there before.
    const bool isNew = entry.Open(GAME_HIVE, keyPath) == ERR_FILE_NOT_FOUND;
    Win32Error status = entry.Create(GAME_HIVE, keyPath, ENTRY_KEY_CLASS);
    if (status != ERR_SUCCESS) {
        ShowError("RegCreateKeyEx returned %ld", static_cast<long>(status));
        return false;
    }
    std::string failure;
    for (const EntryValue& value : values) {
        status = TheMachine().SetValue(entry.Handle(), value.name, REGTYPE_SZ, *value.text);
        if (status != ERR_SUCCESS) {
            failure = "RegSetValueEx returned " + std::to_string(status);
            break;
        }
    }
    if (failure.empty()) {
        status = entry.Close();
        if (status == ERR_SUCCESS) {
            return true;
        }
        failure = SaveFailure(keyPath, status);
    }
    if (isNew) {
        failure += WithdrawNewEntry(keyPath);
    }
    entry.Close();  // the failure is already reported
    ShowError("%s", failure.c_str());
    return false;
}

bool DeleteEntry(const std::string& storePath, const std::string& guidText) {
    const std::string keyPath = EntryKeyPath(storePath, guidText);
    const Win32Error status = TheMachine().DeleteKey(GAME_HIVE, keyPath);
    if (IsSaveFailure(status)) {
        ShowError("%s", SaveFailure(keyPath, status).c_str());
        return false;
    }
    if (status != ERR_SUCCESS) {
        ShowError("RegDeleteKey returned %ld", static_cast<long>(status));
        return false;
    }
    return true;
}

}  // namespace

bool RegisterCourse(CourseRecord& course) {
    if (!WriteEntry(GAME_COURSES_KEY, course.guidText, CourseEntryValues(course))) {
        return false;
    }
    NoteChangeEntry(true, true, course.guidText, course.name, course.filename);
    FillFromCourseFiles({&course, 1});
    TheCatalogue().installedCourses.Append(course);
    return true;
}

bool RegisterLibrary(LibraryRecord& library) {
    if (!WriteEntry(GAME_LIBRARIES_KEY, library.guidText, LibraryEntryValues(library))) {
        return false;
    }
    NoteChangeEntry(true, false, library.guidText, library.name, library.filename);
    FillFromLibraryFiles({&library, 1});
    TheCatalogue().installedLibraries.Append(library);
    return true;
}

bool UnregisterCourse(const CourseRecord& course) {
    if (!DeleteEntry(IsListedAsCloaked(course, GetInstalledCourses(), GetCloakedCourses())
                         ? CLOAK_COURSES_KEY
                         : GAME_COURSES_KEY,
                     course.guidText)) {
        return false;
    }
    NoteChangeEntry(false, true, course.guidText, course.name, course.filename);
    return true;
}

bool UnregisterLibrary(const LibraryRecord& library) {
    if (!DeleteEntry(IsListedAsCloaked(library, GetInstalledLibraries(), GetCloakedLibraries())
                         ? CLOAK_LIBRARIES_KEY
                         : GAME_LIBRARIES_KEY,
                     library.guidText)) {
        return false;
    }
    NoteChangeEntry(false, false, library.guidText, library.name, library.filename);
    return true;
}

}  // namespace parvane
