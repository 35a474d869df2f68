#pragma once

// Where a helper thread runs while its caller keeps working.

#include <thread>

namespace parvane {

// Moves `helper`, just made to work beside the calling thread, off the caller's core, so that
// it starts at once on another instead of waiting for the caller to pause: a scheduler that
// packs threads onto few cores (as some virtual machines do) otherwise queues it there for
// milliseconds. Nothing changes on a machine of one core.
void StartOffCallersCore(std::thread& helper);

// Lets the calling helper, started off its caller's core, run on any core again: one that
// works long must be free to share the cores as the load changes. It must not be called before
// StartOffCallersCore has returned, which would keep the helper off that core for good.
void RunOnAnyCore();

}  // namespace parvane
