#pragma once

// Where the terminal program keeps its own files for a Wine prefix: each prefix has its own
// Parvane.properties (the folders the properties name are the prefix's), its own
// missing-libraries report and its own state folder, each in a folder of the prefix under one
// of the player's base folders. The folder's name is short whatever the prefix's path, so that
// the files in it stay within the length a Windows path may have.

#include <filesystem>
#include <string>

namespace parvane::cli {

// $XDG_CONFIG_HOME/parvane, or ~/.config/parvane when that is unset or not absolute.
std::filesystem::path PropertiesRoot();
// $XDG_DATA_HOME/parvane, or ~/.local/share/parvane when that is unset or not absolute.
std::filesystem::path ReportRoot();
// $XDG_STATE_HOME/parvane, or ~/.local/state/parvane when that is unset or not absolute.
std::filesystem::path StateRoot();

// The prefix's full path through no link, or its absolute path when that cannot be had.
std::filesystem::path CanonicalPrefix(const std::filesystem::path& prefix);

// The folder name of a prefix: the last three names of its path (each cut to a few dozen
// characters, anything but letters, digits, '.', '-' and '_' as '_') and the first eight
// hexadecimal digits of the SHA-1 of the whole path, so that two prefixes never share a
// folder: compatdata-2876543210-pfx-3f9a61c2.
std::string PrefixFolderName(const std::filesystem::path& canonicalPrefix);

// The name earlier versions gave the folder: the whole path with every '/' as '_' and every
// byte other than a letter, a digit, '.' and '-' as %XX.
std::string OldPrefixFolderName(const std::filesystem::path& canonicalPrefix);

// The prefix's folder under `root`, as a host path and as the Windows path of the prefix
// through which the program reaches its files. A folder of the old name is moved to the new
// one, whole, when only the old one is there; the folder is created when missing. False with
// a message naming the folder and the reason when it cannot be moved or created, no drive of
// the prefix holds it, or its Windows path leaves too little room for the files in it.
bool PreparePrefixFolder(const std::filesystem::path& root, const std::filesystem::path& prefix,
                         std::filesystem::path& hostFolder, std::string& windowsFolder,
                         std::string& message);

}  // namespace parvane::cli
