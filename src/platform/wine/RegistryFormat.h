#pragma once

// Wine's registry text format ("WINE REGISTRY Version 2"), read into a HiveTree and written back
// from it. A hive read and written without changes gives back the same bytes; a changed key
// is written in Wine's own layout, in the place where Wine would write it.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/wine/RegistryHive.h"

namespace parvane::wine {

struct ParseError {
    std::size_t line = 0;  // 1 for the first line
    std::string reason;
};

// Reads a whole file's text into an empty hive. False with the line and the reason when the
// text is not in Wine's format.
bool ParseHive(std::string_view text, HiveTree& hive, ParseError& error);

// The whole file's text.
std::string FormatHive(const HiveTree& hive);

// One key's lines as Wine writes them: "[path] stamp", "#time=", "#class=", "#link", values.
std::string FormatKey(const HiveKey& key);

}  // namespace parvane::wine
