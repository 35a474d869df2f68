#pragma once

// An installation or uninstall as one change, whole or not at all. BeginChange writes the
// journal and puts a journaling machine in front of the program's machine; every file step is
// then on the disk in the journal before it is made, and replaced or deleted files are kept.
// EndChange commits (the registry changes are made, the records and history written, kept
// files deleted, the journal removed) or undoes every step. A process killed in between leaves
// the journal, and the next start-up undoes the change (see Recovery.h).
//
// Without a state folder there is no journal: the steps are made as they come.

#include <cstddef>
#include <string>

namespace parvane {

enum class ChangeKind { Install, Uninstall };

// False, after an Error box, when the journal cannot be written or the journal of an earlier
// change is still there.
bool BeginChange(ChangeKind kind, const std::string& title, const std::string& archivePath);

// An entry the change registers or unregisters, for its record and the history.
void NoteChangeEntry(bool installed, bool isCourse, const std::string& guidText,
                     const std::string& name, const std::string& filename);

// A point to go back to, and the undoing of every step after it (one library of several that
// failed). False, after an Error box, when a step could not be undone.
std::size_t ChangeMark();
bool UndoChangeTo(std::size_t mark);

// Commits when `succeeded`, else undoes the change. True when the change is complete; false
// when it was undone, or could not be (an Error box then says what is where).
bool EndChange(bool succeeded);

}  // namespace parvane
