#pragma once

// Which Wine prefix the program works on, and whether a folder is one.

#include <filesystem>
#include <string>

namespace parvane::wine {

// The user's home folder: $HOME, else the password database's entry.
std::filesystem::path HomeFolder();

// The folder given with --prefix when not empty, else $WINEPREFIX, else ~/.wine.
std::filesystem::path ChoosePrefixFolder(const std::string& commandLineFolder);

// True when `folder` holds a prefix (drive_c, dosdevices, system.reg, user.reg); otherwise
// false with a message naming the folder and what it lacks.
bool CheckPrefixFolder(const std::filesystem::path& folder, std::string& message);

}  // namespace parvane::wine
