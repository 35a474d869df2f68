#pragma once

// `parvane uninstall course|library NAME-OR-GUID...`: the entries named removed one after the
// other, each with the questions of its removal, and the catalogue reloaded once at the end.

#include <string>
#include <vector>

#include "app/cli/ContentListing.h"

namespace parvane::cli {

// EXIT_DONE when every entry named was removed. Nothing is removed when an argument names no
// entry or several (each refused with a message naming the entries it could mean).
int UninstallEntries(ContentKind kind, const std::vector<std::string>& arguments);

}  // namespace parvane::cli
