#pragma once

// The folder of the running executable, where the program finds its help page and splash
// bitmap and writes its report.

#include <string>

namespace parvane {

// The executable's path cut at its last backslash; empty when the system does not give it.
std::string GetProgramFolder();

}  // namespace parvane
