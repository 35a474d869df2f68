#include "base/StopRequest.h"

#include <atomic>

#include "base/Messages.h"

namespace parvane {

namespace {

// Written by a signal handler or by the window's thread, read by the thread doing the work: a
// lock-free atomic is safe for both.
std::atomic<int> requestedSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

}  // namespace

void RequestStop(int signalNumber) noexcept {
    requestedSignal = signalNumber;
}

bool IsStopRequested() noexcept {
    return requestedSignal != 0;
}

int StopSignal() noexcept {
    return requestedSignal;
}

void ClearStopRequest() noexcept {
    requestedSignal = 0;
}

void ShowStoppedMessage() {
    ShowError("The installation was interrupted before it was complete.");
}

}  // namespace parvane
