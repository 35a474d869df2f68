#pragma once

// The install run: every archive of the queue installed in turn, each with its own result
// message, as the open-archive command does it.

#include <cstdint>
#include <string>
#include <vector>

namespace parvane {

// When the queue is empty, first the open dialog fills it and MyZip archives in it are
// expanded; archives queued otherwise are installed as they stand, in order. The catalogue is
// loaded once for the run; each archive is installed with its result message and its
// temporary files removed. The queue is empty afterwards. Returns how many archives were not
// installed (failed, refused or cancelled), MyZip archives refused whole among them.
std::int32_t InstallQueuedArchives();

// Archives dropped on the main window: queued as if chosen in the open dialog, MyZip archives
// expanded, then installed as the run above installs them. A drop while a run is in progress
// is refused with a Warning box (the queue belongs to that run). Returns how many archives were
// not installed.
std::int32_t InstallDroppedArchives(const std::vector<std::string>& paths);

}  // namespace parvane
