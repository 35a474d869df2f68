#pragma once

// Installing a course package whose target folder is settled and whose paths are complete.

#include <string_view>

#include "installer/InstallResult.h"

namespace parvane {

// True when the GUID text equals, exactly, that of one of the package's library files
// (whether or not it is to be installed).
bool IsPackageLibrary(std::string_view guidText);

// Checks the course and its libraries against the catalogue, the stock libraries and the
// installed files, asking where the user has a choice; only then copies the course file, its
// included libraries, hole audio, companion files, caddy book, prv and sounds folders, and
// registers the course and the included libraries it copied. `result` receives the course
// name and the missing libraries the user accepted. False when a check, a question, a copy or
// a registration stopped it (after a message); files copied before stay.
bool InstallCourse(InstallResult& result);

}  // namespace parvane
