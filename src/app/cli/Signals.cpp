#include "app/cli/Signals.h"

#include <signal.h>

#include <initializer_list>

#include "base/StopRequest.h"

namespace parvane::cli {

namespace {

// Async-signal-safe: it stores the number and nothing else.
extern "C" void RecordStopSignal(int signalNumber) {
    RequestStop(signalNumber);
}

}  // namespace

void CatchStopSignals() {
    struct sigaction action = {};
    action.sa_handler = RecordStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signalNumber, &action, nullptr);
    }
}

int ExitStatusAfterStop(int status) {
    return IsStopRequested() ? 128 + StopSignal() : status;
}

}  // namespace parvane::cli
