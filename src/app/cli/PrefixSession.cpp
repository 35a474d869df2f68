#include "app/cli/PrefixSession.h"

#include <unistd.h>

#include <cstdint>
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
#include "platform/Machine.h"
#include "platform/wine/WineMachine.h"
#include "platform/wine/paths/WinePrefix.h"
#include "properties/Properties.h"
#include "shell/Startup.h"

namespace parvane::cli {

namespace {

// Beside the catalogue's caches in the state folder.
constexpr const char* REGISTRY_MEMO_FILE_NAME = "RegistryMemo.bin";

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

// The prefix checked and locked. Whether a wineserver serves it is asked once the lock is held,
// as the machine over it opens (OpenWineMachine): the lock touches no file of the prefix.
bool ClaimPrefix(const std::filesystem::path& prefix, PrefixLock& lock) {
    std::string message;
    if (!wine::CheckPrefixFolder(prefix, message) || !lock.Take(prefix, message)) {
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

// The prefix held for a session: its lock, then the machine over it, under a dry run's overlay
// when asked. Destroyed in the reverse order: the lock is released after the machine has saved
// the registry.
struct HeldPrefix {
    PrefixLock lock;
    std::unique_ptr<wine::WineMachine> machine;
    std::unique_ptr<DryRunScope> dryRun;
    // The bytes of what an interrupted run left in the temporary folder, removed at start-up.
    std::uint64_t leftoversFreed = 0;
};

// The prefix claimed, its machine made the process's, and the program's state for it ready.
bool HoldPrefix(const std::filesystem::path& prefix, bool dryRun, HeldPrefix& held) {
    if (!ClaimPrefix(prefix, held.lock)) {
        return false;
    }
    // Read from the state folder made below, which a first run or a dry run may not have: a
    // dry run writes nothing, the registry's memo included.
    const std::filesystem::path registryMemo =
        dryRun ? std::filesystem::path()
               : StateRoot() / PrefixFolderName(CanonicalPrefix(prefix)) / REGISTRY_MEMO_FILE_NAME;
    std::string message;
    held.machine = wine::OpenWineMachine(prefix, message, registryMemo);
    if (!held.machine) {
        return Refuse(message);
    }
    if (dryRun) {
        held.dryRun = std::make_unique<DryRunScope>(*held.machine, prefix);
    }
    SetMachine(held.dryRun ? &held.dryRun->GetMachine() : held.machine.get());
    return PrepareStateFolder(prefix);
}

// The prefix's own folder for its properties, made when missing; `windowsFolder` is the same
// folder as the prefix names it.
bool PreparePropertiesFolder(const std::filesystem::path& prefix, std::string& windowsFolder,
                             std::filesystem::path& propertiesFile) {
    std::filesystem::path hostFolder;
    std::string message;
    if (!PreparePrefixFolder(PropertiesRoot(), prefix, hostFolder, windowsFolder, message)) {
        return Refuse(message);
    }
    propertiesFile = hostFolder / PROPERTIES_FILE_NAME;
    return true;
}

// A first run writes the default properties at once, so that the player finds the file to
// edit.
void WriteFirstProperties(const std::filesystem::path& propertiesFile) {
    std::error_code error;
    if (!std::filesystem::exists(propertiesFile, error) && !SaveProperties()) {
        ShowError("%s", PROPERTIES_NOT_SAVED_MESSAGE);
    }
}

// One message instead of detection's two: which prefix lacks the game, and how to name another.
void RefuseWithoutGame(const std::filesystem::path& prefix) {
    Refuse("The Wine prefix '" + prefix.string() +
           "' holds no Greenvale 06 (its registry names neither the game nor Hydrel). Name the "
           "game's prefix with --prefix DIR; 'parvane prefixes' lists the prefixes that hold "
           "it.");
}

// What a run that was killed left in the program's temporary folder, removed once the change it
// may have left is recovered; no other parvane works on the prefix now (the lock is held), and
// no Windows program (no wineserver serves it). A dry run removes it in memory only, and says
// so once the run is under way.
void ReportLeftovers(std::uint64_t freed, bool dryRun) {
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

// The terminal program's own start-up steps: the prefix held, its own refusal of a prefix
// without the game, a dry run's state dropped, the prefix's properties folder.
StartupHooks PrefixStartup(const SessionSettings& settings, PrefixSession& session,
                           HeldPrefix& held) {
    const bool dryRun = settings.dryRun;
    return {
        .claimGameFiles = [&session, &held,
                           dryRun] { return HoldPrefix(session.prefix, dryRun, held); },
        .refuseWithoutGame = [&session] { RefuseWithoutGame(session.prefix); },
        // A dry run keeps no state of its own: the header cache is neither trusted nor written.
        // The temporary folder is found before the catalogue is read, which may let the
        // registry go until it is needed again.
        .recovered =
            [dryRun, &held] {
                if (dryRun) {
                    SetStateFolder({});
                }
                held.leftoversFreed = RemoveLeftoverTemporaryFolders();
            },
        .propertiesFolder =
            [&session](std::string& folder) {
                return PreparePropertiesFolder(session.prefix, folder, session.propertiesFile);
            },
        .catalogueScope = settings.catalogueScope,
    };
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
    HostPathNames hostPaths(prefix);
    TerminalUserInterface terminal(
        {std::cin, std::cerr, prompts},
        [&prefix](const std::string& typed, std::string& windowsPath, std::string& message) {
            return ToWindowsPath(prefix, typed, windowsPath, message);
        },
        {.answerDefaults = settings.answerDefaults,
         .answerYes = settings.answerYes,
         .echoAnswers = isatty(STDIN_FILENO) == 0,
         .showProgress = isatty(STDERR_FILENO) != 0 || terminalFile.is_open(),
         .hostPathOf = [&hostPaths](const std::string& path) { return hostPaths.Of(path); },
         .dryRun = settings.dryRun});
    session.terminal = &terminal;
    ProcessWide processWide(terminal);
    HeldPrefix held;
    if (!StartProgram(PrefixStartup(settings, session, held))) {
        return EXIT_NOT_DONE;
    }
    WriteFirstProperties(session.propertiesFile);
    if (held.dryRun) {
        std::cerr << "Dry run: nothing will be changed." << std::endl;
    }
    ReportLeftovers(held.leftoversFreed, settings.dryRun);
    const int status = command(session);
    if (held.dryRun) {
        held.dryRun->Report(
            std::cout, [&terminal](const std::string& path) { return terminal.PathShown(path); });
    }
    return status;
}

}  // namespace parvane::cli
