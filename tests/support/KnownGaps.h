#pragma once

// Cases where a backend does not (yet) answer as Windows does, listed by "Suite.Test" with the
// reason in tests/support/<backend>/KnownGaps.cpp. A listed test still runs: it passes when it
// fails, and fails with "known gap now passes" otherwise (main() in support/KnownGaps.cpp).

#include <string>

namespace parvane::test {

// The reason the running backend cannot pass "Suite.Test", or null when it can.
const char* KnownGapReason(const std::string& testName);

}  // namespace parvane::test
