#include "shell/ArchiveInstallation.h"

#include "analysis/MissingLibrariesReport.h"
#include "archive/Folders.h"
#include "archive/TempExtractionFolder.h"
#include "base/Messages.h"
#include "base/ShortText.h"
#include "installer/InstallArchive.h"
#include "installer/InstallRecord.h"
#include "platform/UserInterface.h"
#include "shell/Commands.h"
#include "shell/Html.h"
#include "shell/NestedArchives.h"

namespace parvane {

namespace {

// A report that cannot be written has said so, and is not opened: whatever an earlier run
// left there describes another course.
void WriteAndOpenReport(const InstallResult& result) {
    TheUserInterface().ShowLines("The missing libraries", result.missingLibraryNames);
    const std::string report =
        WriteMissingLibrariesReport(result.courseName, result.missingLibraryNames);
    if (!report.empty()) {
        TheUserInterface().ShowWrittenFile("The report of the missing libraries", report);
        ShowMissingLibrariesReport(report);
    }
}

void ReportOutcome(bool installed, bool declined, const InstallResult& result) {
    if (!installed && declined) {
        // The player's own No is no error.
        ShowInformation("%s", INSTALLATION_NOT_COMPLETE_MESSAGE);
    } else if (!installed) {
        ShowError("%s", INSTALLATION_NOT_COMPLETE_MESSAGE);
    } else if (result.missingLibraryNames.empty()) {
        ShowInformation("Installation complete.");
    } else if (AskYesNo(ANSWER_YES,
                        "Installation complete, with warnings.\nWould you like to view a report "
                        "of the missing libraries?") == ANSWER_YES) {
        WriteAndOpenReport(result);
    }
}

// The title holds 255 characters: a longer archive path gives way to "..." in its middle, so
// that its drive and its file name stay readable.
std::string InstallationTitle(const std::string& archivePath) {
    constexpr std::size_t TITLE_CAPACITY = 255;
    return FormatWithin(TITLE_CAPACITY, "%s - %s", {MAIN_WINDOW_TITLE, archivePath});
}

}  // namespace

QueuedInstall InstallQueuedArchive(const std::string& archivePath, RunSummary& summary) {
    UserInterface& userInterface = TheUserInterface();
    userInterface.ShowTitle(InstallationTitle(archivePath));
    ShowSubject(archivePath);
    summary.BeginArchive();
    // An earlier archive's record does not stand for one that fails before it is classified.
    ClearInstallRecord();
    if (GetTempExtractionFolder().empty()) {
        return QueuedInstall::NoTemporaryFolder;
    }
    InstallResult result;
    const bool installed = InstallArchive(archivePath, result);
    const bool declined = !installed && summary.PlayerDeclined();
    summary.EndArchive(archivePath, installed);
    ReportOutcome(installed, declined, result);
    userInterface.ShowTitle(std::string(MAIN_WINDOW_TITLE));
    DeleteTemporaryArchive(archivePath);
    RemoveFolder(GetTempExtractionFolder());
    return installed ? QueuedInstall::Installed : QueuedInstall::NotInstalled;
}

}  // namespace parvane
