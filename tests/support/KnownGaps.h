#pragma once

// Cases where a backend does not (yet) answer as Windows does. Each backend lists them by test
// name ("Suite.Test"), with the reason, in tests/support/<backend>/KnownGaps.cpp. A listed
// test still runs on that backend, with its failures collected instead of reported: it
// passes when it fails, noting the gap, and fails with "known gap now passes" when nothing
// failed, so that a gap that gets closed shows up. Elsewhere it runs as usual. The test
// programs take their main() from support/KnownGaps.cpp, which sets this up.

#include <string>

namespace parvane::test {

// The reason the running backend cannot pass "Suite.Test", or null when it can.
const char* KnownGapReason(const std::string& testName);

}  // namespace parvane::test
