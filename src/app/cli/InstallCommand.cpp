#include "app/cli/InstallCommand.h"

#include <unistd.h>

#include <iostream>

#include "analysis/MissingLibrariesReport.h"
#include "app/cli/PrefixLock.h"
#include "app/cli/PropertiesPlace.h"
#include "app/cli/TerminalUserInterface.h"
#include "app/cli/TypedPaths.h"
#include "base/Messages.h"
#include "platform/Machine.h"
#include "platform/wine/WineMachine.h"
#include "platform/wine/WinePrefix.h"
#include "platform/wine/WineServer.h"
#include "properties/Properties.h"
#include "shell/FileNameList.h"
#include "shell/InstallRun.h"
#include "shell/NestedArchives.h"
#include "shell/OpenArchiveDialog.h"
#include "shell/Startup.h"

namespace parvane::cli {

namespace {

// Sets the process-wide machine and user interface for one scope.
class ProcessWide {
  public:
    explicit ProcessWide(UserInterface& userInterface) { SetUserInterface(&userInterface); }
    ~ProcessWide() {
        SetMachine(nullptr);
        SetUserInterface(nullptr);
    }
    ProcessWide(const ProcessWide&) = delete;
    ProcessWide& operator=(const ProcessWide&) = delete;
};

bool Refuse(const std::string& message) {
    ShowError("%s", message.c_str());
    return false;
}

// The checks that need no machine, in order; the lock is taken last, so that nothing touches a
// prefix that a wineserver serves.
bool ClaimPrefix(const std::filesystem::path& prefix, PrefixLock& lock) {
    std::string message;
    if (!wine::CheckPrefixFolder(prefix, message) || wine::IsServedByWineserver(prefix, message) ||
        !lock.Take(prefix, message))
        return Refuse(message);
    return true;
}

// The properties of the prefix; a first run writes the defaults at once, so that the player
// finds the file to edit. The report of missing libraries goes beside them.
bool LoadPrefixProperties(const std::filesystem::path& prefix) {
    std::filesystem::path hostFolder;
    std::string windowsFolder;
    std::string message;
    if (!PreparePropertiesFolder(prefix, hostFolder, windowsFolder, message))
        return Refuse(message);
    SetReportFolder(windowsFolder);
    if (!LoadPropertiesAtStartup(windowsFolder))
        return false;
    std::error_code error;
    if (!std::filesystem::exists(hostFolder / PROPERTIES_FILE_NAME, error) && !SaveProperties())
        ShowError("Error during saving of program properties");
    return true;
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

int InstallChosenArchives(const std::filesystem::path& prefix, const InstallSettings& settings) {
    const bool chosen = settings.archives.empty() ? ShowOpenArchiveDialog()
                                                  : QueueNamedArchives(prefix, settings.archives);
    if (!chosen || FileNameCount() == 0)
        return EXIT_NOT_INSTALLED;
    const std::int32_t refused = ExpandMyZipArchives();
    // MyZip archives refused whole may leave nothing to install: the open dialog is not
    // offered again.
    if (FileNameCount() == 0)
        return EXIT_NOT_INSTALLED;
    return InstallQueuedArchives() == 0 && refused == 0 ? EXIT_ALL_INSTALLED : EXIT_NOT_INSTALLED;
}

}  // namespace

int RunInstallCommand(const InstallSettings& settings) {
    const std::filesystem::path prefix =
        std::filesystem::absolute(wine::ChoosePrefixFolder(settings.prefixOption));
    TerminalUserInterface terminal(
        std::cin, std::cout, std::cerr,
        [&prefix](const std::string& typed, std::string& windowsPath, std::string& message) {
            return ToWindowsPath(prefix, typed, windowsPath, message);
        },
        {.answerDefaults = settings.answerDefaults,
         .echoAnswers = isatty(STDIN_FILENO) == 0,
         .showProgress = isatty(STDERR_FILENO) != 0});
    PrefixLock lock;  // released after the machine below has saved the registry
    ProcessWide processWide(terminal);
    if (!ClaimPrefix(prefix, lock))
        return EXIT_STARTUP_REFUSED;
    std::string message;
    const std::unique_ptr<wine::WineMachine> machine = wine::OpenWineMachine(prefix, message);
    if (!machine) {
        Refuse(message);
        return EXIT_STARTUP_REFUSED;
    }
    SetMachine(machine.get());
    if (!DetectGamesAtStartup() || !CheckProgramsAtStartup() || !LoadCatalogueAtStartup() ||
        !LoadPrefixProperties(prefix))
        return EXIT_STARTUP_REFUSED;
    const int status = InstallChosenArchives(prefix, settings);
    SavePropertiesAtExit();
    return status;
}

}  // namespace parvane::cli
