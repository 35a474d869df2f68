#pragma once

// What a course installation leaves for the caller: the course's name and the referenced
// libraries that are still missing, which the user chose to go on without.

#include <string>
#include <vector>

namespace parvane {

struct InstallResult {
    std::string courseName;
    // Display names, in the order the course file references them; at most as many as a
    // course file can reference (MAX_REFERENCED_LIBRARIES).
    std::vector<std::string> missingLibraryNames;
};

}  // namespace parvane
