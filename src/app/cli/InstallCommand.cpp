#include "app/cli/InstallCommand.h"

#include "analysis/MissingLibrariesReport.h"
#include "app/cli/PrefixFolders.h"
#include "app/cli/TerminalUserInterface.h"
#include "app/cli/TypedPaths.h"
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
    if (!allFound)
        return false;
    for (const std::string& path : paths) {
        if (!AddFileName(path)) {
            ClearFileNameList();
            return false;
        }
    }
    return true;
}

int InstallChosenArchives(const std::filesystem::path& prefix,
                          const std::vector<std::string>& archives) {
    const bool chosen =
        archives.empty() ? ShowOpenArchiveDialog() : QueueNamedArchives(prefix, archives);
    if (!chosen || FileNameCount() == 0)
        return EXIT_NOT_DONE;
    const std::int32_t refused = ExpandMyZipArchives();
    // MyZip archives refused whole may leave nothing to install: the open dialog is not
    // offered again.
    if (FileNameCount() == 0)
        return EXIT_NOT_DONE;
    return InstallQueuedArchives() == 0 && refused == 0 ? EXIT_DONE : EXIT_NOT_DONE;
}

}  // namespace

int InstallArchives(const PrefixSession& session, const std::vector<std::string>& archives) {
    ChooseReportFolder(session.prefix);
    const int status = InstallChosenArchives(session.prefix, archives);
    SavePropertiesAtExit();
    return status;
}

}  // namespace parvane::cli
