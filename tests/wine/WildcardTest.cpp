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

TEST(Wildcard, MatchesAsFindFirstFileDoes) {
    EXPECT_EQ(Matching("*.*", {"README", "a.b.c", ".profile", "x."}).size(), 4u);
    EXPECT_EQ(Matching("*.", {"README", "read.me"}), Names{"README"});
    // "?" is one character, or none before a dot.
    EXPECT_EQ(Matching("a?.txt", {"ab.txt", "a.txt", "abc.txt"}), (Names{"ab.txt", "a.txt"}));
    EXPECT_EQ(Matching("file.???", {"file.tc"}).size(), 1u);
    EXPECT_TRUE(Matching("?", {"ab"}).empty());
    // Letters compare ignoring case, Latin-1 ones too; é is no e.
    EXPECT_EQ(Matching("CAF\xC9*", {"caf\xE9 cr\xE8me.tcr"}).size(), 1u);
    EXPECT_EQ(Matching("*.TCR", {"x.tcr"}).size(), 1u);
    EXPECT_TRUE(Matching("cafe*", {"caf\xE9"}).empty());
    EXPECT_EQ(Matching("Course.tcr", {"COURSE.TCR", "Course.tcr2"}), Names{"COURSE.TCR"});
    EXPECT_EQ(Matching("*", {"."}).size(), 1u);
    EXPECT_TRUE(Matching("*.tca", {"."}).empty());
}

// Windows also matches "hole.tcab" when the volume keeps 8.3 names (its short name ends in
// .TCA); Wine has no short names.
TEST(Wildcard, StarDotExtensionNeedsThatExtensionWithoutShortNameMatches) {
    EXPECT_EQ(Matching("*.tca", {"Hole 1.TCA", "a.b.tca", ".tca", "hole.tcab", "hole.tc", "tca"}),
              (Names{"Hole 1.TCA", "a.b.tca", ".tca"}));
}

TEST(Wildcard, ManyStarsStayQuick) {
    EXPECT_FALSE(MatchesWildcard("*a*a*a*a*a*a*a*a*a*a*a*a*a*b", std::string(250, 'a')));
}

}  // namespace
}  // namespace parvane::wine
