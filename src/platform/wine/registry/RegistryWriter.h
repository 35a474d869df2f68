#pragma once

// A HiveTree written in Wine's registry text format. A hive read and written without changes
// gives back the same bytes; a changed key is written in Wine's own layout, in the place where
// Wine would write it.

#include <string>

#include "platform/wine/registry/RegistryHive.h"

namespace parvane::wine {

// The whole file's text.
std::string FormatHive(const HiveTree& hive);

// One key's lines as Wine writes them: "[path] stamp", "#time=", "#class=", "#link", values.
std::string FormatKey(const HiveKey& key);

}  // namespace parvane::wine
