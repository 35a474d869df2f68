#pragma once

// FindFirstFileA's wildcard matching: `*` and `?` with the old DOS rules that Windows keeps,
// ignoring case as Windows compares names. "*.*" matches every name, with a dot or without;
// "*." matches names without an extension; a `?` before a dot or at the end also matches
// nothing ("a?.txt" matches "a.txt").

#include <string>

namespace parvane::wine {

// `pattern` and `name` are code page 1252.
bool MatchesWildcard(const std::string& pattern, const std::string& name);

}  // namespace parvane::wine
