#pragma once

// The Wine prefixes on this system in which the game is installed, and the choice of the one a
// command works on when none is named.

#include <filesystem>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/cli/LauncherPrefixes.h"

namespace parvane::cli {

struct GamePrefix {
    std::filesystem::path folder;
    std::string launcher;
    std::string gameFolder;  // the game's "Install Dir", a Windows path (code page 1252)
};

// The game's folder when `folder` is a prefix whose registry holds the game's key (as the game,
// a 32-bit program, sees it); nothing when it is no prefix, cannot be read or lacks the game.
std::optional<std::string> GameFolderIn(const std::filesystem::path& folder);

// The candidates that hold the game, in order.
std::vector<GamePrefix> PrefixesHoldingGame(const std::vector<PrefixCandidate>& candidates);

// The prefixes holding the game among those of the launchers of the user running the program.
std::vector<GamePrefix> FindGamePrefixes();

// "<folder>  <launcher>  <game folder>" in UTF-8; numbered "<n>) " when `number` is not 0.
std::string PrefixLine(const GamePrefix& prefix, std::size_t number = 0);

// Where a command without --prefix and $WINEPREFIX works.
struct PrefixChoice {
    std::filesystem::path folder;  // empty when none was chosen
    int status = 0;                // the exit status when none was chosen
};

// The one prefix found; with several, the one whose number is read from `input` when `canAsk`
// (a terminal), else none with EXIT_USAGE after the list; with none, EXIT_NOT_DONE after a
// message saying how to name the prefix. Messages and the list go to `output`.
PrefixChoice ChooseGamePrefix(const std::vector<GamePrefix>& found, bool canAsk,
                              std::istream& input, std::ostream& output);

// --prefix when given, else $WINEPREFIX when set, else ChooseGamePrefix over the prefixes
// found, asking on the terminal unless `answerDefaults` or the input is no terminal.
PrefixChoice ChooseSessionPrefix(const std::string& prefixOption, bool answerDefaults);

}  // namespace parvane::cli
