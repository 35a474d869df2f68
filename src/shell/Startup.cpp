#include "shell/Startup.h"

#include "base/Messages.h"
#include "base/ProgramFolder.h"
#include "catalogue/CatalogueLoading.h"
#include "catalogue/GameDetection.h"
#include "journal/Recovery.h"
#include "properties/Properties.h"
#include "shell/RunningPrograms.h"

namespace parvane {

namespace {

bool FindGame(const StartupHooks& hooks) {
    if (hooks.refuseWithoutGame && !IsGameOrCloakingToolRegistered()) {
        hooks.refuseWithoutGame();
        return false;
    }
    return DetectGamesAtStartup();
}

bool LoadPropertiesOf(const StartupHooks& hooks) {
    std::string folder;
    if (!hooks.propertiesFolder) {
        folder = GetProgramFolder();
    } else if (!hooks.propertiesFolder(folder)) {
        return false;
    }
    return LoadPropertiesAtStartup(folder);
}

// A change left half done is undone or completed once the program is sure to be alone on the
// game's files (its claim, the running programs), and before the catalogue reads them.
bool StartOnClaimedFiles(const StartupHooks& hooks) {
    if (!FindGame(hooks) || !CheckProgramsAtStartup() || !RecoverChangeAtStartup()) {
        return false;
    }
    if (hooks.recovered) {
        hooks.recovered();
    }
    return LoadCatalogueAtStartup(hooks.catalogueScope) && LoadPropertiesOf(hooks);
}

}  // namespace

bool StartProgram(const StartupHooks& hooks) {
    if (hooks.claimGameFiles && !hooks.claimGameFiles()) {
        return false;
    }
    // The catalogue's files in the state folder are read while the checks below run: no change
    // of the game's files touches them, and the load takes them only while the registry is as it
    // was when they were read. A start that ends before the load lets them go.
    ReadCatalogueStateAhead();
    const bool started = StartOnClaimedFiles(hooks);
    DropCatalogueStateReadAhead();
    return started;
}

bool RecoverChangeAtStartup() {
    return RecoverInterruptedChange();
}

bool DetectGamesAtStartup() {
    if (DetectSupportedGames()) {
        return true;
    }
    ShowError("Error during registry initialization, the program will now exit.");
    return false;
}

bool CheckProgramsAtStartup() {
    bool anotherInstance = false;
    if (CheckRunningPrograms(anotherInstance)) {
        ShowError(
            "Either the GV golf sim, the architect, the library creator\nor the course manager "
            "is running on your system.\n\nIt is very important to not run Parvane at the same "
            "time as any of the\nGV 06 tools, or you may end up with a corrupt GV "
            "installation.\nPlease shut all GV 06 programs down before starting "
            "Parvane.\n\nParvane will now exit.");
        return false;
    }
    if (anotherInstance) {
        ShowError(
            "Parvane is already running on your system.\n\nRunning multiple instances of "
            "Parvane may cause registry inconsistencies,\nand is therefore not "
            "allowed.\n\nParvane will now exit.");
        return false;
    }
    return true;
}

bool LoadCatalogueAtStartup(LoadScope scope) {
    if (LoadCatalogue(scope)) {
        return true;
    }
    ShowError("Error during data loading, the program will now exit.");
    return false;
}

bool LoadPropertiesAtStartup(const std::string& folder) {
    if (LoadProperties(folder)) {
        return true;
    }
    ShowError("Error during property initialization, the program will now exit.");
    return false;
}

bool SavePropertiesAtExit() {
    if (!IsPropertyOn(PROPERTY_SAVE_PROPERTIES_ON_EXIT) || SaveProperties()) {
        return true;
    }
    ShowError("%s", PROPERTIES_NOT_SAVED_MESSAGE);
    return false;
}

}  // namespace parvane
