#pragma once

// The records of a change's journal, and what undoing and completing them means. Every file
// step is on the disk in the journal before it is made; registry changes are only written
// down while the change runs and made at its commit, all together.
//
//   journal  KIND TITLE ARCHIVE ID TIME  the change (install or uninstall), its archive
//   kept     FOLDER                   a folder made for kept files
//   file+    PATH                     a file created where none stood
//   folder+  PATH                     a folder created
//   replace  PATH KEPT                a file about to be replaced, moved to KEPT first
//   delete   PATH KEPT                a file deleted: moved to KEPT, gone at the end
//   move     SOURCE TARGET            a file of the game moved elsewhere
//   folder-  PATH                     a folder removed
//   failed   N                        step N did not happen (its call failed)
//   undone   N                        record N was undone, or is withdrawn
//   key+     HIVE KEY CLASS EXISTED   a key to create (or open) at the commit
//   value    HIVE KEY NAME TYPE DATA  a value to set at the commit
//   key-     HIVE KEY                 a key to delete at the commit
//   entry    installed|removed course|library GUID NAME FILENAME
//   commit                            from here the change is completed, never undone
//   abort                             the commit could not write the registry: undo

#include <cstddef>
#include <string>
#include <vector>

#include "journal/JournalFile.h"
#include "platform/Machine.h"

namespace parvane {

namespace step {
inline constexpr const char* JOURNAL = "journal";
inline constexpr const char* KEPT_FOLDER = "kept";
inline constexpr const char* CREATED_FILE = "file+";
inline constexpr const char* CREATED_FOLDER = "folder+";
inline constexpr const char* REPLACED = "replace";
inline constexpr const char* DELETED = "delete";
inline constexpr const char* MOVED = "move";
inline constexpr const char* REMOVED_FOLDER = "folder-";
inline constexpr const char* FAILED = "failed";
inline constexpr const char* UNDONE = "undone";
inline constexpr const char* CREATED_KEY = "key+";
inline constexpr const char* VALUE = "value";
inline constexpr const char* DELETED_KEY = "key-";
inline constexpr const char* ENTRY = "entry";
inline constexpr const char* COMMIT = "commit";
inline constexpr const char* ABORT = "abort";
}  // namespace step

inline constexpr const char* CHANGE_INSTALL = "install";
inline constexpr const char* CHANGE_UNINSTALL = "uninstall";
inline constexpr const char* ENTRY_INSTALLED = "installed";
inline constexpr const char* ENTRY_REMOVED = "removed";

using JournalRecords = std::vector<JournalRecord>;

bool HasRecord(const JournalRecords& records, const char* tag);

// Steps from `from` on whose kept file is missing although the step was made; one line each.
std::vector<std::string> MissingKeptFiles(Machine& machine, const JournalRecords& records,
                                          std::size_t from);

// Undoes the steps from `from` on, last first, adding "undone" for each (to the journal and to
// `records`), registry changes and entries included. Stops at the first
// step that cannot be undone and says which in `problem`.
bool UndoSteps(Machine& machine, JournalWriter& writer, JournalRecords& records, std::size_t from,
               std::string& problem);

// Makes the registry changes of the journal; they may have been made before (a commit that a
// crash cut short). False with `problem` at the first one the registry refused; the keys it
// created are deleted again.
bool ApplyRegistryChanges(Machine& machine, const JournalRecords& records, std::string& problem);

// The change is over: kept files and folders deleted, the journal removed.
void ClearJournal(Machine& machine, JournalWriter& writer, const JournalRecords& records);

// "The installation of 'Lakeside'" / "The removal of 'Trees'".
std::string ChangeDescription(const JournalRecords& records);

}  // namespace parvane
