#pragma once

// The start-up step that finishes what a killed process or a power cut left half done: a
// journal left by a change that did not commit is undone (past its commit, the change is
// completed), and the user is told in one message.

namespace parvane {

// True when there was no journal or it has been dealt with. False, after an Error box saying
// what could not be restored and where the kept files are, when the journal must stay: the
// program then stops, before touching anything else.
bool RecoverInterruptedChange();

}  // namespace parvane
