#pragma once

// Valve's KeyValues text (.vdf), as Steam writes libraryfolders.vdf: quoted or bare keys, each
// followed by a quoted or bare value or by a block in braces; `//` comments; `\\`, `\"`, `\n`
// and `\t` escapes in quotes; a condition such as [$WIN32] after a value is ignored.

#include <string>
#include <string_view>
#include <vector>

namespace parvane::cli {

// One value of the text with the keys of the blocks around it, outermost first:
// {"libraryfolders", "0", "path"} -> "/home/me/.local/share/Steam".
struct VdfValue {
    std::vector<std::string> keys;
    std::string value;
};

// Every value of `text` in order; false when the text is not well formed.
bool ReadVdfValues(std::string_view text, std::vector<VdfValue>& values);

// The library folders that a libraryfolders.vdf names, in its newer layout
// ("libraryfolders" { "1" { "path" "..." } }) and in its older one ("LibraryFolders" { "1"
// "..." }); keys compare ignoring case, as Steam's do.
std::vector<std::string> SteamLibraryPaths(const std::vector<VdfValue>& values);

}  // namespace parvane::cli
