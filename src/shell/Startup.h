#pragma once

// The steps of start-up and shutdown that both front ends share, each with its message. The
// window program runs them between its window steps, the terminal program one after the
// other; a step that fails has shown its Error box, and the program then ends with
// EXIT_NOT_DONE.

#include <string>

namespace parvane {

// The exit statuses of both front ends: done; not done (a refused start-up among them).
inline constexpr int EXIT_DONE = 0;
inline constexpr int EXIT_NOT_DONE = 1;

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
bool LoadCatalogueAtStartup();

// The properties of `folder`, with "Error during property initialization, the program will
// now exit." when they cannot be loaded.
bool LoadPropertiesAtStartup(const std::string& folder);

// Saves the properties when SavePropertiesOnExit is on, with "Error during saving of program
// properties" when that fails. False only when saving failed.
bool SavePropertiesAtExit();

}  // namespace parvane
