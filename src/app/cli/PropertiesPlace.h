#pragma once

// Where the terminal program keeps the properties of a Wine prefix: each prefix has its own
// Parvane.properties, since the folders the properties name are the prefix's.

#include <filesystem>
#include <string>

namespace parvane::cli {

// $XDG_CONFIG_HOME/parvane, or ~/.config/parvane when that is unset or not absolute.
std::filesystem::path PropertiesRoot();

// The folder name of a prefix: its absolute path with every '/' as '_' and every byte other
// than a letter, a digit, '.' and '-' as %XX, so that two prefixes never share a folder.
std::string PrefixFolderName(const std::filesystem::path& absolutePrefix);

// The prefix's properties folder, created when missing, as a Windows path of the prefix (the
// program reads its properties through the prefix's drives). False with a message when it
// cannot be created or no drive of the prefix holds it.
bool PreparePropertiesFolder(const std::filesystem::path& prefix, std::filesystem::path& hostFolder,
                             std::string& windowsFolder, std::string& message);

}  // namespace parvane::cli
