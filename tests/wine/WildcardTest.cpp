// FindFirstFileA's wildcard rules.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/wine/text/Wildcard.h"

namespace parvane::wine {
namespace {

using Names = std::vector<std::string>;

// The names among `candidates` that `pattern` matches.
Names Matching(const char* pattern, const Names& candidates) {
    Names names;
    for (const std::string& name : candidates) {
        if (MatchesWildcard(pattern, name)) {
            names.push_back(name);
        }
    }
    return names;
}

// Windows also matches "hole.tcab" with "*.tca" when the volume keeps 8.3 names; Wine has none.
TEST(Wildcard, MatchesAsFindFirstFileDoesWithoutShortNames) {
    // "?" is one character, or none before a dot.
    EXPECT_EQ(Matching("a?.txt", {"ab.txt", "a.txt", "abc.txt"}), (Names{"ab.txt", "a.txt"}));
    EXPECT_EQ(Matching("*.tca", {"Hole 1.TCA", "a.b.tca", "hole.tcab", "hole.tc"}),
              (Names{"Hole 1.TCA", "a.b.tca"}));
    EXPECT_FALSE(MatchesWildcard("*a*a*a*a*a*a*a*a*a*a*a*a*a*b", std::string(250, 'a')));
}

}  // namespace
}  // namespace parvane::wine
