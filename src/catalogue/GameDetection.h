#pragma once

// Which of the game and the cloaking tool are on this machine.

namespace parvane {

// Fills the catalogue's supportedGames: a GAME_KIND_GAME row when the game root opens, then a
// GAME_KIND_CLOAK_TOOL row when the cloak root opens. When neither does, shows an Error box
// and returns false.
bool DetectSupportedGames();

// True when the game's or the cloaking tool's registry root opens; shows nothing, so that a
// front end may say in its own words which machine lacks them.
bool IsGameOrCloakingToolRegistered();

// True when detection found the cloaking tool.
bool IsCloakingToolPresent();

}  // namespace parvane
