#pragma once

// What a change leaves beside the game once it is over: the records of what it placed (or the
// removal of the records of what it removed) and its lines in the history.

#include "journal/JournalSteps.h"
#include "platform/Machine.h"

namespace parvane {

// `result` is one of the history's RESULT_ texts; records are written for a completed change
// only. False when a record or the history could not be written.
bool RecordChangeOutcome(Machine& machine, const JournalRecords& records, const char* result);

// Whether an entry is still registered or unregistered by the change.
bool HasEntries(const JournalRecords& records);

// Whether the change made any step at all (a refusal before the first one is no change).
bool MadeAnyStep(const JournalRecords& records);

// The Error box of a change that could not be undone: what stays where.
void ShowUndoFailure(const JournalRecords& records, const std::string& problem);

}  // namespace parvane
