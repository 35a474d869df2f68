#include "catalogue/GameDetection.h"

#include <algorithm>

#include "base/Messages.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "platform/RegistryKey.h"

namespace parvane {

namespace {

bool KeyOpens(Hive hive, const char* subKey) {
    RegistryKey key;
    return key.Open(hive, subKey) == ERR_SUCCESS;
}

}  // namespace

bool DetectSupportedGames() {
    std::vector<GameEntry>& games = TheCatalogue().supportedGames;
    games.clear();
    if (KeyOpens(GAME_HIVE, GAME_ROOT)) {
        games.push_back({GAME_KIND_GAME});
    }
    if (KeyOpens(GAME_HIVE, CLOAK_ROOT)) {
        games.push_back({GAME_KIND_CLOAK_TOOL});
    }
    if (games.empty()) {
        ShowError(
            "Parvane has detected that you do not have any of the supported games "
            "installed.\nThe supported games are:\n\n- Greenvale 06\n\nParvane will now exit.");
        return false;
    }
    return true;
}

bool IsGameOrCloakingToolRegistered() {
    return KeyOpens(GAME_HIVE, GAME_ROOT) || KeyOpens(GAME_HIVE, CLOAK_ROOT);
}

bool IsCloakingToolPresent() {
    const std::vector<GameEntry>& games = TheCatalogue().supportedGames;
    return std::any_of(games.begin(), games.end(),
                       [](const GameEntry& game) { return game.kind == GAME_KIND_CLOAK_TOOL; });
}

}  // namespace parvane
