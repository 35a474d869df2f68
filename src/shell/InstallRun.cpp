#include "shell/InstallRun.h"

#include <atomic>
#include <string>
#include <vector>

#include "base/Messages.h"
#include "base/StopRequest.h"
#include "catalogue/CatalogueLoading.h"
#include "shell/ArchiveInstallation.h"
#include "shell/FileNameList.h"
#include "shell/NestedArchives.h"
#include "shell/OpenArchiveDialog.h"

namespace parvane {

namespace {

// Read by the window's thread while a run goes on in the background.
std::atomic<bool> runInProgress = false;

constexpr const char* INSTALLING_STEP = "Installing";

// Marks an install run, with the queueing and MyZip expansion of a drop before it, for its
// whole length, so that a drop during one (its boxes dispatch messages) is refused.
class RunInProgress {
  public:
    RunInProgress() : outer(runInProgress.exchange(true)) {}
    ~RunInProgress() { runInProgress = outer; }
    RunInProgress(const RunInProgress&) = delete;
    RunInProgress& operator=(const RunInProgress&) = delete;

  private:
    bool outer;
};

// Walks the rest of the queue, so that its cursor is back on the first entry, and empties it.
// The inner archives that a MyZip expansion wrote for the queue go with it.
std::int32_t DropRemainingArchives(std::int32_t dropped) {
    while (NextFileName(1) != nullptr) {
        ++dropped;
    }
    std::vector<std::string> paths;
    for (const FileNameEntry& entry : GetFileNameEntries()) {
        paths.push_back(entry.path);
    }
    for (const std::string& path : paths) {
        DeleteTemporaryArchive(path);
    }
    ClearFileNameList();
    return dropped;
}

InstallRunResult InstallQueueNow(const ArchiveOutcomeListener& listener) {
    const RunInProgress run;
    const auto tell = [&listener](const std::string& path, ArchiveOutcome outcome) {
        if (listener) {
            listener(path, outcome);
        }
    };
    std::int32_t notInstalled = 0;
    if (FileNameCount() == 0) {
        ShowOpenArchiveDialog();
        notInstalled = ExpandMyZipArchives();
    }
    FileNameEntry* entry = NextFileName(1);
    if (entry == nullptr) {
        return {.notInstalled = DropRemainingArchives(notInstalled)};
    }
    // Installing against a catalogue that did not load could register content twice or miss
    // a conflict: then nothing is installed (the load has shown its message).
    if (!LoadCatalogue()) {
        return {.notInstalled = DropRemainingArchives(notInstalled + 1)};
    }
    RunSummary summary;
    for (; entry != nullptr; entry = NextFileName(1)) {
        // The installation may rewrite the queue's entries; the path is kept apart.
        const std::string path = entry->path;
        if (IsStopRequested()) {
            // Cancelled: the archives after the one that stopped are not begun.
            DeleteTemporaryArchive(path);
            summary.NotBegun(path);
            tell(path, ArchiveOutcome::NotReached);
            ++notInstalled;
            continue;
        }
        const QueuedInstall outcome = InstallQueuedArchive(path, summary);
        if (outcome == QueuedInstall::NoTemporaryFolder) {
            // The program ends now, as it stands: the queue is forgotten, its files are left.
            ClearFileNameList();
            return {.endsProgram = true};
        }
        const bool installed = outcome == QueuedInstall::Installed;
        tell(path, installed ? ArchiveOutcome::Installed : ArchiveOutcome::NotInstalled);
        notInstalled += installed ? 0 : 1;
    }
    ClearFileNameList();
    // A caller that listens keeps its own account of the run.
    if (!listener && summary.WorthShowing()) {
        ShowInformation("%s", summary.Text().c_str());
    }
    return {.notInstalled = notInstalled};
}

InstallRunResult InstallDroppedNow(const std::vector<std::string>& paths) {
    const auto dropped = static_cast<std::int32_t>(paths.size());
    const RunInProgress run;
    if (!QueueChosenArchives(paths)) {
        return {.notInstalled = dropped};
    }
    const std::int32_t queued = FileNameCount();
    const std::int32_t notQueued = ExpandMyZipArchives() + dropped - queued;
    // With every MyZip archive refused there is nothing left, and the open dialog is not
    // offered instead.
    if (FileNameCount() == 0) {
        return {.notInstalled = notQueued};
    }
    InstallRunResult result = InstallQueueNow(nullptr);
    result.notInstalled += notQueued;
    return result;
}

}  // namespace

InstallRunResult InstallQueuedArchives(const ArchiveOutcomeListener& listener) {
    InstallRunResult result;
    TheUserInterface().RunLongWork(INSTALLING_STEP, [&] { result = InstallQueueNow(listener); });
    return result;
}

InstallRunResult InstallDroppedArchives(const std::vector<std::string>& paths) {
    const InstallRunResult refused{.notInstalled = static_cast<std::int32_t>(paths.size())};
    if (runInProgress) {
        ShowWarning(
            "Archives dropped while others are being installed are not installed: drop "
            "them again when Parvane is done.");
        return refused;
    }
    InstallRunResult result = refused;
    TheUserInterface().RunLongWork(INSTALLING_STEP, [&] { result = InstallDroppedNow(paths); });
    return result;
}

}  // namespace parvane
