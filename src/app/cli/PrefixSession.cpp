#include "app/cli/PrefixSession.h"

#include <unistd.h>

#include <fstream>
#include <iostream>

#include "app/cli/DryRunScope.h"
#include "app/cli/GamePrefixes.h"
#include "app/cli/HostPaths.h"
#include "app/cli/PrefixFolders.h"
#include "app/cli/PrefixLock.h"
#include "app/cli/TerminalUserInterface.h"
#include "app/cli/TypedPaths.h"
#include "archive/TempExtractionFolder.h"
#include "base/Messages.h"
#include "base/StateFolder.h"
#include "catalogue/GameDetection.h"
#include "platform/Machine.h"
#include "platform/wine/WineMachine.h"
#include "platform/wine/paths/WinePrefix.h"
#include "platform/wine/registry/WineServer.h"
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
        !lock.Take(prefix, message)) {
        return Refuse(message);
    }
    return true;
}

// The program's state for the prefix, before anything touches the game's files.
bool PrepareStateFolder(const std::filesystem::path& prefix) {
    std::filesystem::path hostFolder;
    std::string windowsFolder;
    std::string message;
    if (!PreparePrefixFolder(StateRoot(), prefix, hostFolder, windowsFolder, message)) {
        return Refuse(message);
    }
    SetStateFolder(windowsFolder);
    return true;
}

// The properties of the prefix; a first run writes the defaults at once, so that the player
// finds the file to edit.
bool LoadPrefixProperties(const std::filesystem::path& prefix,
                          std::filesystem::path& propertiesFile) {
    std::filesystem::path hostFolder;
    std::string windowsFolder;
    std::string message;
    if (!PreparePrefixFolder(PropertiesRoot(), prefix, hostFolder, windowsFolder, message)) {
        return Refuse(message);
    }
    if (!LoadPropertiesAtStartup(windowsFolder)) {
        return false;
    }
    propertiesFile = hostFolder / PROPERTIES_FILE_NAME;
    std::error_code error;
    if (!std::filesystem::exists(propertiesFile, error) && !SaveProperties()) {
        ShowError("%s", PROPERTIES_NOT_SAVED_MESSAGE);
    }
    return true;
}

// One message instead of detection's two: which prefix lacks the game, and how to name another.
bool DetectGameIn(const std::filesystem::path& prefix) {
    if (IsGameOrCloakingToolRegistered()) {
        return DetectGamesAtStartup();
    }
    return Refuse("The Wine prefix '" + prefix.string() +
                  "' holds no Greenvale 06 (its registry names neither the game nor Hydrel). "
                  "Name the game's prefix with --prefix DIR; 'parvane prefixes' lists the "
                  "prefixes that hold it.");
}

// What a run that was killed left in the program's temporary folder; no other parvane works on
// the prefix now (the lock is held), and no Windows program (no wineserver serves it). A dry
// run removes it in memory only, and says so.
void RemoveLeftovers(bool dryRun) {
    const std::uint64_t freed = RemoveLeftoverTemporaryFolders();
    constexpr std::uint64_t KB = 1024;
    if (freed > 0) {
        std::cerr << (dryRun ? "A real run would remove what an interrupted run left in the "
                               "temporary folder: "
                             : "Removed what an interrupted run left in the temporary folder: ")
                  << (freed >= KB * KB ? std::to_string((freed + KB * KB / 2) / (KB * KB)) + " MB"
                                       : std::to_string((freed + KB - 1) / KB) + " KB")
                  << (dryRun ? " to free." : " freed.") << std::endl;
    }
}

// Questions go where the player who answers them looks: standard error when it is a
// terminal, else the terminal itself when the answers are typed there.
std::ostream& PromptStream(std::ofstream& terminal) {
    if (isatty(STDERR_FILENO) == 0 && isatty(STDIN_FILENO) != 0) {
        terminal.open("/dev/tty");
        if (terminal.is_open()) {
            return terminal;
        }
    }
    return std::cerr;
}

}  // namespace

int RunOnPrefix(const SessionSettings& settings, const PrefixCommand& command) {
    const PrefixChoice choice =
        ChooseSessionPrefix(settings.prefixOption, settings.answerDefaults || settings.answerYes);
    if (choice.folder.empty()) {
        return choice.status;
    }
    PrefixSession session{std::filesystem::absolute(choice.folder), {}};
    const std::filesystem::path& prefix = session.prefix;
    std::ofstream terminalFile;
    std::ostream& prompts = PromptStream(terminalFile);
    TerminalUserInterface terminal(
        {std::cin, std::cerr, prompts},
        [&prefix](const std::string& typed, std::string& windowsPath, std::string& message) {
            return ToWindowsPath(prefix, typed, windowsPath, message);
        },
        {.answerDefaults = settings.answerDefaults,
         .answerYes = settings.answerYes,
         .echoAnswers = isatty(STDIN_FILENO) == 0,
         .showProgress = isatty(STDERR_FILENO) != 0 || terminalFile.is_open(),
         .hostPathOf = [&prefix](const std::string& path) { return HostPathOf(prefix, path); },
         .dryRun = settings.dryRun});
    session.terminal = &terminal;
    PrefixLock lock;  // released after the machine below has saved the registry
    ProcessWide processWide(terminal);
    if (!ClaimPrefix(prefix, lock)) {
        return EXIT_NOT_DONE;
    }
    std::string message;
    const std::unique_ptr<wine::WineMachine> machine = wine::OpenWineMachine(prefix, message);
    if (!machine) {
        Refuse(message);
        return EXIT_NOT_DONE;
    }
    const std::unique_ptr<DryRunScope> dryRun =
        settings.dryRun ? std::make_unique<DryRunScope>(*machine, prefix) : nullptr;
    SetMachine(dryRun ? &dryRun->GetMachine() : machine.get());
    if (!PrepareStateFolder(prefix) || !RecoverChangeAtStartup()) {
        return EXIT_NOT_DONE;
    }
    // A dry run keeps no state of its own: the header cache is neither trusted nor written.
    if (dryRun) {
        SetStateFolder({});
    }
    if (!DetectGameIn(prefix) || !CheckProgramsAtStartup() || !LoadCatalogueAtStartup() ||
        !LoadPrefixProperties(prefix, session.propertiesFile)) {
        return EXIT_NOT_DONE;
    }
    if (dryRun) {
        std::cerr << "Dry run: nothing will be changed." << std::endl;
    }
    RemoveLeftovers(settings.dryRun);
    const int status = command(session);
    if (dryRun) {
        dryRun->Report(std::cout,
                       [&terminal](const std::string& path) { return terminal.PathShown(path); });
    }
    return status;
}

}  // namespace parvane::cli
