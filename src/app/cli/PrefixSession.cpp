#include "app/cli/PrefixSession.h"

#include <unistd.h>

#include <iostream>

#include "app/cli/PrefixLock.h"
#include "app/cli/PropertiesPlace.h"
#include "app/cli/TerminalUserInterface.h"
#include "app/cli/TypedPaths.h"
#include "base/Messages.h"
#include "base/StateFolder.h"
#include "platform/Machine.h"
#include "platform/wine/PathMapping.h"
#include "platform/wine/WineMachine.h"
#include "platform/wine/WinePrefix.h"
#include "platform/wine/WineServer.h"
#include "properties/Properties.h"
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
    ShowTerminalError(message);
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

// The state folder of the prefix, where an interrupted change is found and undone before
// anything else touches the prefix.
bool RecoverOnPrefix(const std::filesystem::path& prefix) {
    std::filesystem::path hostFolder;
    std::string windowsFolder;
    std::string message;
    if (!PreparePrefixFolder(StateRoot(), prefix, hostFolder, windowsFolder, message))
        return Refuse(message);
    SetStateFolder(windowsFolder);
    return RecoverChangeAtStartup();
}

// The properties of the prefix; a first run writes the defaults at once, so that the player
// finds the file to edit.
bool LoadPrefixProperties(const std::filesystem::path& prefix,
                          std::filesystem::path& propertiesFile) {
    std::filesystem::path hostFolder;
    std::string windowsFolder;
    std::string message;
    if (!PreparePrefixFolder(PropertiesRoot(), prefix, hostFolder, windowsFolder, message))
        return Refuse(message);
    if (!LoadPropertiesAtStartup(windowsFolder))
        return false;
    propertiesFile = hostFolder / PROPERTIES_FILE_NAME;
    std::error_code error;
    if (!std::filesystem::exists(propertiesFile, error) && !SaveProperties())
        ShowError("Error during saving of program properties");
    return true;
}

// A file the program wrote, as the player finds it on this system: through no drive link.
std::string HostPathOf(const std::filesystem::path& prefix, const std::string& windowsPath) {
    wine::HostPath host;
    if (wine::ResolveWindowsPath(prefix, windowsPath, host) != ERR_SUCCESS)
        return TerminalText(windowsPath);
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(host.path, error);
    return error ? host.path : canonical.string();
}

}  // namespace

int RunOnPrefix(const SessionSettings& settings, const PrefixCommand& command) {
    PrefixSession session{
        std::filesystem::absolute(wine::ChoosePrefixFolder(settings.prefixOption)), {}};
    const std::filesystem::path& prefix = session.prefix;
    TerminalUserInterface terminal(
        std::cin, std::cout, std::cerr,
        [&prefix](const std::string& typed, std::string& windowsPath, std::string& message) {
            return ToWindowsPath(prefix, typed, windowsPath, message);
        },
        {.answerDefaults = settings.answerDefaults,
         .echoAnswers = isatty(STDIN_FILENO) == 0,
         .showProgress = isatty(STDERR_FILENO) != 0,
         .hostPathOf = [&prefix](const std::string& path) { return HostPathOf(prefix, path); }});
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
    if (!RecoverOnPrefix(prefix) || !DetectGamesAtStartup() || !CheckProgramsAtStartup() || !LoadCatalogueAtStartup() ||
        !LoadPrefixProperties(prefix, session.propertiesFile))
        return EXIT_STARTUP_REFUSED;
    return command(session);
}

}  // namespace parvane::cli
