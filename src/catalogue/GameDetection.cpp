#include "catalogue/GameDetection.h"

#include <algorithm>

#include "catalogue/Catalogue.h"
#include "platform/RegistryKey.h"
#include "platform/RegistryText.h"
#include "shell/Messages.h"

namespace parvane {

namespace {

// Folder values are read through a buffer of 256 bytes.
constexpr std::uint32_t FOLDER_VALUE_CAPACITY = 256;

std::string gameInstallDir;
std::string personalFolder;

bool KeyOpens(Hive hive, const char* subKey) {
    RegistryKey key;
    return key.Open(hive, subKey) == ERR_SUCCESS;
}

const std::string& ReadCachedFolder(std::string& cache, Hive hive, const char* subKey,
                                    const char* valueName) {
    if (!cache.empty()) {
        return cache;
    }
    RegistryKey key;
    if (key.Open(hive, subKey) == ERR_SUCCESS) {
        std::string text;
        if (ReadTextValue(key.Handle(), valueName, FOLDER_VALUE_CAPACITY, text) == ERR_SUCCESS) {
            cache = text;
        }
    }
    return cache;
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

bool IsCloakingToolPresent() {
    const std::vector<GameEntry>& games = TheCatalogue().supportedGames;
    return std::any_of(games.begin(), games.end(),
                       [](const GameEntry& game) { return game.kind == GAME_KIND_CLOAK_TOOL; });
}

std::string GetGameInstallDir() {
    return ReadCachedFolder(gameInstallDir, GAME_HIVE, GAME_ROOT, GAME_INSTALL_DIR_VALUE);
}

std::string GetPersonalFolder() {
    return ReadCachedFolder(personalFolder, SHELL_FOLDERS_HIVE, SHELL_FOLDERS_KEY,
                            PERSONAL_FOLDER_VALUE);
}

void ResetGameDetection() {
    gameInstallDir.clear();
    personalFolder.clear();
}

}  // namespace parvane
