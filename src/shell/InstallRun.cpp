#include "shell/InstallRun.h"

#include <string>

#include "base/StopRequest.h"
#include "catalogue/CatalogueLoading.h"
#include "shell/ArchiveInstallation.h"
#include "shell/FileNameList.h"
#include "shell/NestedArchives.h"
#include "shell/OpenArchiveDialog.h"

namespace parvane {

namespace {

// Walks the rest of the queue, so that its cursor is back on the first entry, and empties it.
std::int32_t DropRemainingArchives(std::int32_t dropped) {
    while (NextFileName(1) != nullptr)
        ++dropped;
    ClearFileNameList();
    return dropped;
}

}  // namespace

std::int32_t InstallQueuedArchives(const ArchiveOutcomeListener& listener) {
    const auto tell = [&listener](const std::string& path, ArchiveOutcome outcome) {
        if (listener)
            listener(path, outcome);
    };
    std::int32_t notInstalled = 0;
    if (FileNameCount() == 0) {
        ShowOpenArchiveDialog();
        notInstalled = ExpandMyZipArchives();
    }
    FileNameEntry* entry = NextFileName(1);
    if (entry == nullptr)
        return DropRemainingArchives(notInstalled);
    // Installing against a catalogue that did not load could register content twice or miss
    // a conflict: then nothing is installed (the load has shown its message).
    if (!LoadCatalogue())
        return DropRemainingArchives(notInstalled + 1);
    for (; entry != nullptr; entry = NextFileName(1)) {
        // The installation may rewrite the queue's entries; the path is kept apart.
        const std::string path = entry->path;
        if (IsStopRequested()) {
            DeleteTemporaryArchive(path);
            tell(path, ArchiveOutcome::NotReached);
            ++notInstalled;
        } else if (InstallQueuedArchive(path)) {
            tell(path, ArchiveOutcome::Installed);
        } else {
            tell(path, ArchiveOutcome::NotInstalled);
            ++notInstalled;
        }
    }
    ClearFileNameList();
    return notInstalled;
}

}  // namespace parvane
