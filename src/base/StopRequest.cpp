#include "base/StopRequest.h"

#include <csignal>

#include "base/Messages.h"

namespace parvane {

namespace {

// Written by a signal handler, read by the program: sig_atomic_t is the one type both may share.
volatile std::sig_atomic_t requestedSignal = 0;

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
