#pragma once

// Before a course is placed, three companion files of it may be given the course file's own
// base name, which the game expects: the course initialization file (.ini), the sound
// stationery file (.stn) and the caddy book (.tcn).

#include <string>

#include "catalogue/Records.h"

namespace parvane {

// For each of the three roles in that order, while the course's fields still hold bare file
// names of files in `folder`: a file whose base name differs from the course file's (ignoring
// case) raises a question. Yes renames it in `folder` to the course's base name with the
// role's lower-case extension, No keeps its name, Cancel leaves it out of the installation. A
// rename that fails is reported and the file keeps its name.
void RunRenamingChecks(const std::string& folder, CourseRecord& course);

}  // namespace parvane
