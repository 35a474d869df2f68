#pragma once

// Whether two files hold the same content, by their SHA-1 digests.

#include <string>

namespace parvane {

// The SHA-1 digest of the whole file as 40 upper-case hexadecimal digits; empty when the file
// cannot be opened or a read fails before its end, so that a partly read file never passes
// for another file's content.
std::string ComputeFileDigest(const std::string& path);

// True when the digests differ: the contents differ, or exactly one file cannot be read. Two
// files that both cannot be read compare as equal.
bool FilesDiffer(const std::string& first, const std::string& second);

}  // namespace parvane
