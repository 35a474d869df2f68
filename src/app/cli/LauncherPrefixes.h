#pragma once

// Where Linux players' launchers keep the Wine prefixes they make: Steam (Proton, in each
// library that libraryfolders.vdf names), Lutris (the `prefix:` of its games' YAML files),
// Bottles, Heroic (`winePrefix` in its games' JSON files), PlayOnLinux, and plain Wine
// ($WINEPREFIX, ~/.wine*). A folder or file that cannot be read is passed over.

#include <filesystem>
#include <string>
#include <vector>

namespace parvane::cli {

struct PrefixCandidate {
    std::filesystem::path folder;
    std::string launcher;  // "Steam", "Lutris", "Bottles", "Heroic", "PlayOnLinux" or "Wine"
};

// Every folder the launchers name below `home`, and `winePrefixVariable` when not empty, once
// each and through no link (the first launcher that names a folder keeps it); folders that do
// not exist are left out; the others are listed, prefixes or not.
std::vector<PrefixCandidate> FindPrefixCandidates(const std::filesystem::path& home,
                                                  const std::string& winePrefixVariable);

}  // namespace parvane::cli
