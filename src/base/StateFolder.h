#pragma once

// The folder where the program keeps its own state for the game installation it works on: the
// journal of a change in progress, the records of what each installation placed, the history
// of changes and caches. The front end sets it at start-up, before anything else touches the
// game's files; empty until then.

#include <string>

namespace parvane {

// As a path the machine reaches (a Windows path on both backends); empty when not set.
const std::string& StateFolder();
void SetStateFolder(std::string folder);

}  // namespace parvane
