#pragma once

// Which of the game and the cloaking tool are on this machine, and the two folders the
// program takes from the registry.

#include <string>

#include "catalogue/RegistryRoots.h"

namespace parvane {

// Fills the catalogue's supportedGames: a GAME_KIND_GAME row when the game root opens, then a
// GAME_KIND_CLOAK_TOOL row when the cloak root opens. When neither does, shows an Error box
// and returns false.
bool DetectSupportedGames();

// True when detection found the cloaking tool.
bool IsCloakingToolPresent();

// The game's install folder and the user's documents folder. Each is read once and then kept
// for the run; empty while unknown (key or value missing, or a text longer than 255
// characters), in which case the next call reads the registry again.
std::string GetGameInstallDir();
std::string GetPersonalFolder();

// Forgets both folders (for a fresh start in tests).
void ResetGameDetection();

}  // namespace parvane
