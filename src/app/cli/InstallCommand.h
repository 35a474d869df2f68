#pragma once

// `parvane install`: the start-up checks on the Wine prefix, the archives chosen (named on the
// command line or picked in the terminal's open dialog), their installation, and the
// properties saved at the end.

#include <string>
#include <vector>

namespace parvane::cli {

inline constexpr int EXIT_ALL_INSTALLED = 0;
// Also the status of a refused start-up.
inline constexpr int EXIT_NOT_INSTALLED = 1;
inline constexpr int EXIT_USAGE = 2;

struct InstallSettings {
    std::string prefixOption;           // --prefix, empty when not given
    bool answerDefaults = false;        // --defaults
    std::vector<std::string> archives;  // host or Windows paths; empty: the open dialog
};

// The exit status: EXIT_ALL_INSTALLED when every chosen archive was installed.
int RunInstallCommand(const InstallSettings& settings);

}  // namespace parvane::cli
