#pragma once

// Where the terminal program keeps its files for a Wine prefix: each prefix has its own
// Parvane.properties, since the folders the properties name are the prefix's, and its own
// missing-libraries report. Both folders are named after the prefix.

#include <filesystem>
#include <string>

namespace parvane::cli {

// $XDG_CONFIG_HOME/parvane, or ~/.config/parvane when that is unset or not absolute.
std::filesystem::path PropertiesRoot();
// $XDG_DATA_HOME/parvane, or ~/.local/share/parvane when that is unset or not absolute.
std::filesystem::path ReportRoot();
// $XDG_STATE_HOME/parvane, or ~/.local/state/parvane when that is unset or not absolute: the
// journal, the install records and the history.
std::filesystem::path StateRoot();

// The folder name of a prefix: its absolute path with every '/' as '_' and every byte other
// than a letter, a digit, '.' and '-' as %XX, so that two prefixes never share a folder.
std::string PrefixFolderName(const std::filesystem::path& absolutePrefix);

// The prefix's folder under `root`, created when missing, as a Windows path of the prefix (the
// program reaches its files through the prefix's drives). False with a message when it cannot
// be created or no drive of the prefix holds it.
bool PreparePrefixFolder(const std::filesystem::path& root, const std::filesystem::path& prefix,
                         std::filesystem::path& hostFolder, std::string& windowsFolder,
                         std::string& message);

}  // namespace parvane::cli
