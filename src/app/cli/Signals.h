#pragma once

// SIGINT, SIGTERM and SIGHUP while parvane works: the handler only records the signal as a
// stop request, and the work in hand ends through its own failure path (the change it was
// making fails and is cleaned up, nothing further is begun); then parvane exits with 128 plus
// the signal's number, as a shell reports a program a signal ended.

namespace parvane::cli {

// Installs the handlers, without SA_RESTART, so that a question waiting for its answer is
// interrupted too.
void CatchStopSignals();

// 128 + the signal when one asked to stop, else `status`.
int ExitStatusAfterStop(int status);

}  // namespace parvane::cli
