#pragma once

// What every command of the terminal program does first and last: the start-up checks on the
// Wine prefix, the machine over it, the catalogue and the prefix's properties loaded; the
// registry saved and the prefix released when the command is done.

#include <filesystem>
#include <functional>
#include <string>

#include "shell/Startup.h"

namespace parvane::cli {

class TerminalUserInterface;

// The terminal program's own exit status, beside the shared ones: a wrong command line.
inline constexpr int EXIT_USAGE = 2;

struct SessionSettings {
    std::string prefixOption;     // --prefix, empty when not given
    bool answerDefaults = false;  // --defaults
    bool answerYes = false;       // --yes
    bool dryRun = false;          // --dry-run: the machine's changes are listed, not made
    // What the command needs of the catalogue: one that removes nothing has no folder examined.
    LoadScope catalogueScope = LoadScope::Everything;
};

// What a command is given once start-up has passed.
struct PrefixSession {
    std::filesystem::path prefix;          // absolute
    std::filesystem::path propertiesFile;  // on this system
    TerminalUserInterface* terminal = nullptr;
};

using PrefixCommand = std::function<int(const PrefixSession&)>;

// Runs `command` on the prefix (named, or found: GamePrefixes.h) after the start-up steps, with
// the terminal as the user interface; EXIT_NOT_DONE, after the refusal's message, when a step
// fails, and the choice's status when no prefix is chosen.
int RunOnPrefix(const SessionSettings& settings, const PrefixCommand& command);

}  // namespace parvane::cli
