#pragma once

// `parvane install`: the archives chosen (named on the command line or picked in the
// terminal's open dialog) installed one after the other, and the properties saved at the end.

#include <string>
#include <vector>

#include "app/cli/PrefixSession.h"

namespace parvane::cli {

// EXIT_DONE when every chosen archive was installed. `archives` are host or Windows paths;
// none: the open dialog.
int InstallArchives(const PrefixSession& session, const std::vector<std::string>& archives);

}  // namespace parvane::cli
