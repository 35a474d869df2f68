#pragma once

// The text form in which file digests are compared.

#include <string>

#include "base/Sha1.h"

namespace parvane {

// The 20 bytes in order, each as two upper-case hexadecimal digits: 40 characters.
std::string Sha1DigestText(const Sha1Digest& digest);

}  // namespace parvane
