#pragma once

// Cases a backend does not (yet) answer as Windows does, in tests/support/<backend>/KnownGaps.cpp.
// A listed test still runs, and passes only when it fails as the gap makes it fail: every
// failure must hold one of the gap's texts, and one at least must come.

#include <string>
#include <vector>

namespace parvane::test {

struct KnownGap {
    const char* reason;
    // Parts of the failures the gap causes (the failed expression or its message).
    std::vector<std::string> failures;
};

// Null when the running backend can pass "Suite.Test".
const KnownGap* FindKnownGap(const std::string& testName);

}  // namespace parvane::test
