// FindFirstFileA's wildcard rules.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/wine/Wildcard.h"

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

// Windows also matches "hole.tcab" with "*.tca" when the volume keeps 8.3 names (its short name
// ends in .TCA); Wine has no short names.
TEST(Wildcard, MatchesAsFindFirstFileDoesWithoutShortNames) {
    EXPECT_EQ(Matching("*.*", {"README", "a.b.c", ".profile", "x."}).size(), 4u);
    EXPECT_EQ(Matching("*.", {"README", "read.me"}), Names{"README"});
    // "?" is one character, or none before a dot.
    EXPECT_EQ(Matching("a?.txt", {"ab.txt", "a.txt", "abc.txt"}), (Names{"ab.txt", "a.txt"}));
    EXPECT_TRUE(Matching("?", {"ab"}).empty());
    // Letters compare ignoring case, Latin-1 ones too; é is no e.
    EXPECT_EQ(Matching("CAF\xC9*", {"caf\xE9 cr\xE8me.tcr", "cafe"}).size(), 1u);
    EXPECT_EQ(Matching("*.tca", {"Hole 1.TCA", "a.b.tca", ".tca", "hole.tcab", "hole.tc", "."}),
              (Names{"Hole 1.TCA", "a.b.tca", ".tca"}));
    EXPECT_EQ(Matching("*", {"."}).size(), 1u);
    EXPECT_FALSE(MatchesWildcard("*a*a*a*a*a*a*a*a*a*a*a*a*a*b", std::string(250, 'a')));
}

}  // namespace
}  // namespace parvane::wine
