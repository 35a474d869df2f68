#include "shell/ArchiveInstallation.h"

#include "archive/Folders.h"
#include "base/Messages.h"
#include "installer/InstallArchive.h"
#include "platform/UserInterface.h"
#include "shell/Commands.h"
#include "shell/NestedArchives.h"

namespace parvane {

namespace {

// Where the report of the missing libraries will be written and opened.
void ShowMissingLibrariesReport(const InstallResult&) {
    ShowInformation("The report of the missing libraries is not available in this version.");
}

void ReportOutcome(bool installed, const InstallResult& result) {
    if (!installed) {
        ShowError("Installation not complete.");
    } else if (result.missingLibraryNames.empty()) {
        ShowInformation("Installation complete.");
    } else if (AskYesNo(ANSWER_YES,
                        "Installation complete, with warnings.\nWould you like to view a report "
                        "of the missing libraries?") == ANSWER_YES) {
        ShowMissingLibrariesReport(result);
    }
}

}  // namespace

bool InstallQueuedArchive(const std::string& archivePath) {
    UserInterface& userInterface = TheUserInterface();
    userInterface.ShowTitle(std::string(MAIN_WINDOW_TITLE) + " - " + archivePath);
    InstallResult result;
    const bool installed = InstallArchive(archivePath, result);
    ReportOutcome(installed, result);
    userInterface.ShowTitle(std::string(MAIN_WINDOW_TITLE));
    DeleteTemporaryArchive(archivePath);
    RemoveFolder(GetTempExtractionFolder());
    return installed;
}

}  // namespace parvane
