#pragma once

// The install run: every archive of the queue installed in turn, each with its own result
// message, as the open-archive command does it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace parvane {

enum class ArchiveOutcome { Installed, NotInstalled, NotReached };
// Told, for each queued archive in turn, what became of it.
using ArchiveOutcomeListener =
    std::function<void(const std::string& archivePath, ArchiveOutcome outcome)>;

struct InstallRunResult {
    // Archives not installed (failed, refused, cancelled or not reached), MyZip archives
    // refused whole among them.
    std::int32_t notInstalled = 0;
    // No temporary extraction folder could be had, so nothing can be installed: the run
    // stopped at its first archive with that Error box, leaving everything else as it was, and
    // the front end ends the program at once with EXIT_NOT_DONE.
    bool endsProgram = false;
};

// When the queue is empty, first the open dialog fills it and MyZip archives in it are
// expanded; archives queued otherwise are installed as they stand, in order. The catalogue is
// loaded once for the run; each archive is installed with its result message and its
// temporary files removed. After a stop request the archives not begun are not reached (the
// temporary ones among them deleted). The queue is empty afterwards. A run of several archives,
// or one that left a library of a package out, ends with an Information box of what became of
// each, unless `listener` is given: its caller keeps its own account. The run goes through
// the user interface's RunLongWork.
InstallRunResult InstallQueuedArchives(const ArchiveOutcomeListener& listener = nullptr);

// Archives dropped on the main window: queued as if chosen in the open dialog, MyZip archives
// expanded, then installed as the run above installs them. A drop while a run is in progress
// is refused with a Warning box (the queue belongs to that run).
InstallRunResult InstallDroppedArchives(const std::vector<std::string>& paths);

}  // namespace parvane
