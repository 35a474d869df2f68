#pragma once

// What an install run does around the installation of each queued archive, the same in every
// front end: the archive in the title, the closing message, and the clean-up afterwards.

#include <string>

#include "shell/RunSummary.h"

namespace parvane {

// An archive's closing message when it was not installed.
inline constexpr const char* INSTALLATION_NOT_COMPLETE_MESSAGE = "Installation not complete.";

enum class QueuedInstall {
    Installed,
    NotInstalled,
    // No temporary extraction folder (its Error box shown): nothing can be installed, and the
    // program ends at once with EXIT_NOT_DONE, before anything else is shown or done.
    NoTemporaryFolder
};

// Installs one queued archive: names it in the title, installs it, reports the outcome
// ("Installation complete.", "Installation not complete." in an Error box, or in an
// Information box when the player declined a step, or the offer of a report of the missing
// libraries) and adds it to `summary`, then restores the title, deletes the archive when it
// was a temporary one unpacked from a MyZip archive, and removes the temporary extraction
// folder.
QueuedInstall InstallQueuedArchive(const std::string& archivePath, RunSummary& summary);

}  // namespace parvane
