#pragma once

// Wine's registry text format ("WINE REGISTRY Version 2") read into a HiveTree, keeping what
// RegistryWriter needs to give back the same bytes for a hive read and written unchanged.

#include <cstddef>
#include <string>

#include "platform/wine/registry/RegistryHive.h"

namespace parvane::wine {

struct ParseError {
    std::size_t line = 0;  // 1 for the first line
    std::string reason;
};

// Reads a whole file's text into an empty hive, which keeps the text. False with the line and
// the reason when the text is not in Wine's format.
bool ParseHive(std::string text, HiveTree& hive, ParseError& error);

}  // namespace parvane::wine
