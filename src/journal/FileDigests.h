#pragma once

// The size and SHA-1 of files the program wrote itself, taken as their bytes went by (an
// unpacked file), so that the record of what an installation placed need not read them
// again. The journaling machine carries a digest along when it moves or copies the file and
// drops it when anything else writes there; the digests are forgotten when a change ends.

#include <cstdint>
#include <string>

namespace parvane {

void RememberFileDigest(const std::string& path, std::uint64_t size, const std::string& sha1);
bool RecallFileDigest(const std::string& path, std::uint64_t& size, std::string& sha1);
// `to` takes the digest of `from`; `from` keeps it too when the file was copied.
void CarryFileDigest(const std::string& from, const std::string& to, bool moved);
void ForgetFileDigest(const std::string& path);
void ForgetFileDigests();

}  // namespace parvane
