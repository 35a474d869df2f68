#pragma once

// The install run: every archive of the queue installed in turn, each with its own result
// message, as the open-archive command does it.

#include <cstdint>

namespace parvane {

// When the queue is empty, first the open dialog fills it and MyZip archives in it are
// expanded; archives queued otherwise are installed as they stand, in order. The catalogue is
// loaded once for the run; each archive is installed with its result message and its
// temporary files removed. The queue is empty afterwards. Returns how many archives were not
// installed (failed, refused or cancelled), MyZip archives refused whole among them.
std::int32_t InstallQueuedArchives();

}  // namespace parvane
