#pragma once

// The program's start-up, in one order for both front ends, and its shutdown: each step with
// its message. A step that fails has shown its Error box, and the program then ends with
// EXIT_NOT_DONE.

#include <functional>
#include <string>

#include "catalogue/CatalogueLoading.h"

namespace parvane {

// The exit statuses of both front ends: done; not done (a refused start-up among them).
inline constexpr int EXIT_DONE = 0;
inline constexpr int EXIT_NOT_DONE = 1;

// What a front end does its own way at start-up; each is optional.
struct StartupHooks {
    // First of all: makes sure that no other copy of the program works on the game's files, and
    // opens them (the terminal program: its prefix's checks and lock, the machine over the
    // prefix, the program's state folder for it). False after its own message.
    std::function<bool()> claimGameFiles;
    // When the registry names neither the game nor the cloaking tool: the front end's own
    // refusal, instead of detection's two messages.
    std::function<void()> refuseWithoutGame;
    // Once an interrupted change is recovered, before the catalogue is read (a dry run drops
    // its state folder there, so that the header cache is neither trusted nor written).
    std::function<void()> recovered;
    // The folder of the properties file; false after its own message. Unset: the program's
    // folder.
    std::function<bool(std::string& folder)> propertiesFolder;
    // What the catalogue load finds out: a front end whose command removes nothing has no
    // folder examined (see LoadScope).
    LoadScope catalogueScope = LoadScope::Everything;
};

// The start-up steps in their order, stopping at the first that fails: the front end's claim
// on the game's files, game detection, the programs Parvane must not run beside, the recovery
// of an interrupted change, the catalogue, the properties. True when the program may run.
bool StartProgram(const StartupHooks& hooks);

// Undoes the change a killed process or a power cut left half done (or completes it, when it
// was past its commit), telling the user; false, after an Error box, when it cannot and the
// program must stop. Runs once the program is sure to be the only one on the game's files, and
// before anything else touches them.
bool RecoverChangeAtStartup();

// Game detection; when neither the game nor the cloaking tool is found, detection's own
// message is followed by "Error during registry initialization, the program will now exit.".
bool DetectGamesAtStartup();

// False, after the conflict message (the game or one of its tools runs; it wins) or the
// second-instance message, when Parvane must not run now.
bool CheckProgramsAtStartup();

// The catalogue load, with "Error during data loading, the program will now exit." when it
// fails.
bool LoadCatalogueAtStartup(LoadScope scope = LoadScope::Everything);

// The properties of `folder`, with "Error during property initialization, the program will
// now exit." when they cannot be loaded.
bool LoadPropertiesAtStartup(const std::string& folder);

// Saves the properties when SavePropertiesOnExit is on, with "Error during saving of program
// properties" when that fails. False only when saving failed.
bool SavePropertiesAtExit();

}  // namespace parvane
