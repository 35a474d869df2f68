#pragma once

// Where the program's registry data lives. The game's keys and the cloaking tool's store are
// below HKEY_LOCAL_MACHINE (in the 32-bit view, as the game sees them); the user's folders
// below HKEY_CURRENT_USER.

#include "platform/Machine.h"

namespace parvane {

inline constexpr Hive GAME_HIVE = Hive::LocalMachine;

// The game: present when this key opens; "Install Dir" names its folder.
inline constexpr const char* GAME_ROOT = "Software\\Quorlix\\Greenvale 06";
inline constexpr const char* GAME_INSTALL_DIR_VALUE = "Install Dir";
// The installed courses and libraries, one subkey per GUID text.
inline constexpr const char* GAME_COURSES_KEY = "Software\\Quorlix\\Greenvale 06\\Courses";
inline constexpr const char* GAME_LIBRARIES_KEY = "Software\\Quorlix\\Greenvale 06\\Libraries";

// The cloaking tool Hydrel: present when this key opens; its store has the game's layout.
inline constexpr const char* CLOAK_ROOT = "Software\\Hydrel06";
inline constexpr const char* CLOAK_COURSES_KEY = "Software\\Hydrel06\\Courses";
inline constexpr const char* CLOAK_LIBRARIES_KEY = "Software\\Hydrel06\\Libraries";

inline constexpr Hive SHELL_FOLDERS_HIVE = Hive::CurrentUser;
inline constexpr const char* SHELL_FOLDERS_KEY =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr const char* PERSONAL_FOLDER_VALUE = "Personal";

}  // namespace parvane
