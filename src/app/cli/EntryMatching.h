#pragma once

// The entries that the arguments of `parvane uninstall` name: an argument is an entry's GUID
// in any case (the braces may be left out), else its display name in any case of the letters
// A to Z, trailing blanks on either side not counted.

#include <string>
#include <vector>

#include "app/cli/ContentListing.h"

namespace parvane::cli {

struct ArgumentMatch {
    std::string argument;
    std::vector<int> lines;  // the matching entries, ascending; one names the entry to remove
};

// One match per argument, in argument order. The texts are the program's (code page 1252).
std::vector<ArgumentMatch> MatchArguments(const std::vector<ListedEntry>& entries,
                                          const std::vector<std::string>& arguments);

}  // namespace parvane::cli
