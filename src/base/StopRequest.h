#pragma once

// A request to stop the work in hand, made from outside the program's flow (the terminal
// program's signal handlers, the window's Cancel button). Long work looks at it between steps: a
// change that sees it fails the way any failed change does, so that what undoes or cleans up a
// failure runs, and the caller then stops instead of going on to the next piece of work.

namespace parvane {

// Safe to call from a signal handler or another thread: it only stores the signal's number.
void RequestStop(int signalNumber) noexcept;
bool IsStopRequested() noexcept;
// The number given to RequestStop; 0 when no stop was requested.
int StopSignal() noexcept;
// Forgets the request: the window program does so before each long work.
void ClearStopRequest() noexcept;

// The message a change shows when it stops for the request; its callers add none.
void ShowStoppedMessage();

}  // namespace parvane
