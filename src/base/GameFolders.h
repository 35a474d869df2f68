#pragma once

// The two folders the program takes from the registry: where the game is installed and the
// user's documents folder.

#include <string>

namespace parvane {

// Where the game keeps caddy books (.tcn), below the personal folder.
inline constexpr const char* COURSE_NOTES_FOLDER = "Greenvale 06\\Course Notes";

// Each is read once and then kept for the run; empty while unknown (key or value missing, or
// a text longer than 255 characters), in which case the next call reads the registry again.
std::string GetGameInstallDir();
std::string GetPersonalFolder();

}  // namespace parvane
