#include "app/cli/InstallCommand.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "analysis/MissingLibrariesReport.h"
#include "app/cli/PrefixFolders.h"
#include "app/cli/RunSummary.h"
#include "app/cli/TerminalUserInterface.h"
#include "app/cli/TypedPaths.h"
#include "archive/ArchiveContents.h"
#include "base/Messages.h"
#include "platform/Machine.h"
#include "shell/FileNameList.h"
#include "shell/InstallRun.h"
#include "shell/NestedArchives.h"
#include "shell/OpenArchiveDialog.h"
#include "shell/Startup.h"

namespace parvane::cli {

namespace {

bool Refuse(const std::string& message) {
    ShowTerminalError(message);
    return false;
}

// The report of missing libraries goes to the prefix's folder in the player's data folder;
// when that cannot be, to the prefix's temporary folder.
void ChooseReportFolder(const std::filesystem::path& prefix) {
    std::filesystem::path hostFolder;
    std::string windowsFolder;
    std::string message;
    if (PreparePrefixFolder(ReportRoot(), prefix, hostFolder, windowsFolder, message)) {
        SetReportFolder(windowsFolder);
    } else if (TheMachine().TempPath(windowsFolder) == ERR_SUCCESS) {
        ShowTerminalWarning(message +
                            "\nA report of missing libraries goes to the temporary folder.");
        SetReportFolder(windowsFolder);
    }
}

// The archives of the command line, as the open dialog's selection would give them. Every
// path is checked before any is queued: nothing is installed when one of them is wrong.
bool QueueNamedArchives(const std::filesystem::path& prefix,
                        const std::vector<std::string>& archives) {
    std::vector<std::string> paths;
    bool allFound = true;
    for (const std::string& archive : archives) {
        std::string path;
        std::string message;
        std::uint32_t attributes = ATTR_INVALID;
        if (!ToWindowsPath(prefix, archive, path, message)) {
            allFound = Refuse(message);
        } else if (TheMachine().GetAttributes(path, attributes) != ERR_SUCCESS) {
            allFound = Refuse("The archive '" + archive + "' does not exist.");
        } else if ((attributes & ATTR_DIRECTORY) != 0) {
            allFound = Refuse("'" + archive + "' is a folder, not an installation archive.");
        } else {
            std::string longPath;
            paths.push_back(TheMachine().LongPathName(path, longPath) == ERR_SUCCESS ? longPath
                                                                                     : path);
        }
    }
    ClearFileNameList();
    if (!allFound) {
        return false;
    }
    for (const std::string& path : paths) {
        if (!AddFileName(path)) {
            ClearFileNameList();
            return false;
        }
    }
    return true;
}

// The queue as one run over all of it would order it: by kind, larger first, equal kinds in
// their order.
void QueueByKind(std::vector<FileNameEntry> entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const FileNameEntry& a, const FileNameEntry& b) {
                         return a.packageKind > b.packageKind;
                     });
    ClearFileNameList();
    SetFileNameEntries(std::move(entries));
}

// Each queued archive is classified, and a MyZip archive unpacked, on its own, so that what it
// says comes under a line naming it, once. An archive that cannot be read and a MyZip archive
// refused whole leave the queue with their line in the summary (the run would say it again,
// nameless). Returns how many left; -1 when the queue cannot be filled again.
std::int32_t PrepareQueue(TerminalUserInterface& terminal, RunSummary& summary) {
    std::vector<std::string> paths;
    for (const FileNameEntry* entry = NextFileName(1); entry != nullptr; entry = NextFileName(1)) {
        paths.push_back(entry->path);
    }
    std::vector<FileNameEntry> queue;
    std::int32_t dropped = 0;
    for (const std::string& path : paths) {
        summary.OnTitle(path);
        terminal.IntroduceMessagesWith(path);
        ClearFileNameList();
        const bool queued = AddFileName(path);
        const bool refused = queued && ExpandMyZipArchives() > 0;
        const bool unreadable =
            queued && FileNameCount() == 1 && GetFileNameEntries().front().path == path &&
            GetFileNameEntries().front().packageKind == ARCHIVE_KIND_NONE && summary.HasError();
        terminal.IntroduceMessagesWith({});
        if (!queued) {
            ClearFileNameList();
            return -1;
        }
        if (refused || unreadable) {
            summary.Record(path, ArchiveOutcome::NotInstalled);
            ++dropped;
        } else {
            queue.insert(queue.end(), GetFileNameEntries().begin(), GetFileNameEntries().end());
        }
    }
    QueueByKind(std::move(queue));
    return dropped;
}

// The archives installed one after the other, then the summary of the run on standard output.
int InstallChosenArchives(const PrefixSession& session, const std::vector<std::string>& archives) {
    const bool chosen =
        archives.empty() ? ShowOpenArchiveDialog() : QueueNamedArchives(session.prefix, archives);
    if (!chosen || FileNameCount() == 0) {
        return EXIT_NOT_DONE;
    }
    TerminalUserInterface& terminal = *session.terminal;
    RunSummary summary(terminal);
    terminal.SetObserver(&summary);
    const std::int32_t dropped = PrepareQueue(terminal, summary);
    // Archives dropped may leave nothing to install: the open dialog is not offered again.
    const InstallRunResult run =
        dropped < 0 || FileNameCount() == 0
            ? InstallRunResult{}
            : InstallQueuedArchives([&summary](const std::string& path, ArchiveOutcome outcome) {
                  summary.Record(path, outcome);
              });
    // Without a temporary folder nothing can be installed: the program ends at once, with the
    // Error box shown and nothing more.
    if (run.endsProgram) {
        std::exit(EXIT_NOT_DONE);
    }
    terminal.SetObserver(nullptr);
    summary.Print(std::cout);
    return dropped == 0 && run.notInstalled == 0 ? EXIT_DONE : EXIT_NOT_DONE;
}

}  // namespace

int InstallArchives(const PrefixSession& session, const std::vector<std::string>& archives) {
    ChooseReportFolder(session.prefix);
    const int status = InstallChosenArchives(session, archives);
    SavePropertiesAtExit();
    return status;
}

}  // namespace parvane::cli
