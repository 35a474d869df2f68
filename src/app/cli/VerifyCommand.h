#pragma once

// `parvane verify [NAME-OR-GUID...]`: the files of the entries named (all registered entries
// when none is) compared with the records of what their installations placed, as lines or as
// one JSON document.

#include <string>
#include <vector>

namespace parvane::cli {

// EXIT_DONE when no file is missing or changed; EXIT_NOT_DONE when one is, or when an argument
// names no entry or several.
int VerifyEntries(const std::vector<std::string>& arguments, bool asJson);

}  // namespace parvane::cli
