#pragma once

// `parvane properties [KEY=VALUE...]`: the twelve known properties of the prefix shown, or
// set and saved at once.

#include <string>
#include <vector>

#include "app/cli/PrefixSession.h"

namespace parvane::cli {

struct PropertyAssignment {
    std::string key;    // as the program spells it
    std::string value;  // the program's text (code page 1252), without surrounding blanks
};

// The words KEY=VALUE as assignments of known properties, the key in any case of the letters
// A to Z: a switch takes 0 or 1, a folder any text. False with the message of the first word
// that is not one.
bool ParsePropertyAssignments(const std::vector<std::string>& words,
                              std::vector<PropertyAssignment>& assignments, std::string& message);

// Without assignments prints every known property with its value; otherwise sets them, saves
// the properties and prints what changed. A folder is a full path, of this system (stored as
// the prefix's Windows path) or of the prefix. EXIT_NOT_DONE when a value is refused (nothing
// is saved then) or saving fails.
int ShowOrSetProperties(const PrefixSession& session,
                        const std::vector<PropertyAssignment>& assignments);

}  // namespace parvane::cli
