#include "base/GameFolders.h"

#include "base/RegistryRoots.h"
#include "platform/RegistryKey.h"
#include "platform/RegistryText.h"

namespace parvane {

namespace {

// Folder values are read through a buffer of 256 bytes.
constexpr std::uint32_t FOLDER_VALUE_CAPACITY = 256;

std::string gameInstallDir;
std::string personalFolder;

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

std::string GetGameInstallDir() {
    return ReadCachedFolder(gameInstallDir, GAME_HIVE, GAME_ROOT, GAME_INSTALL_DIR_VALUE);
}

std::string GetPersonalFolder() {
    return ReadCachedFolder(personalFolder, SHELL_FOLDERS_HIVE, SHELL_FOLDERS_KEY,
                            PERSONAL_FOLDER_VALUE);
}

void ForgetGameFolders() {
    gameInstallDir.clear();
    personalFolder.clear();
}

}  // namespace parvane
