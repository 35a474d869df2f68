#pragma once

// Cases where a backend does not (yet) answer as Windows does. Each backend lists them by test
// name, with the reason, in tests/support/<backend>/KnownGaps.cpp; a listed test skips itself
// on that backend only, saying why, and runs everywhere else.

#include <gtest/gtest.h>

#include <string>

namespace parvane::test {

// The reason the running backend cannot pass "Suite.Test", or null when it can.
const char* KnownGapReason(const std::string& testName);

std::string CurrentTestName();

}  // namespace parvane::test

#define PARVANE_SKIP_IF_KNOWN_GAP()                                                \
    if (const char* knownGapReason =                                               \
            ::parvane::test::KnownGapReason(::parvane::test::CurrentTestName())) { \
        GTEST_SKIP() << "known gap of this backend: " << knownGapReason;           \
    }
