// FindFirstFileA's wildcard rules.

#include <gtest/gtest.h>

#include "platform/wine/Wildcard.h"

namespace parvane::wine {
namespace {

TEST(Wildcard, StarDotStarMatchesEveryName) {
    for (const char* name : {"README", "a.b", "a.b.c", ".profile", "x."}) {
        EXPECT_TRUE(MatchesWildcard("*.*", name)) << name;
    }
}

// Windows also matches "hole.tcab" when the volume keeps 8.3 names (its short name ends in
// .TCA); Wine has no short names.
TEST(Wildcard, StarDotExtensionNeedsThatExtensionWithoutShortNameMatches) {
    EXPECT_TRUE(MatchesWildcard("*.tca", "Hole 1.TCA"));
    EXPECT_TRUE(MatchesWildcard("*.tca", "a.b.tca"));
    EXPECT_TRUE(MatchesWildcard("*.tca", ".tca"));
    EXPECT_FALSE(MatchesWildcard("*.tca", "hole.tcab"));
    EXPECT_FALSE(MatchesWildcard("*.tca", "hole.tc"));
    EXPECT_FALSE(MatchesWildcard("*.tca", "tca"));
}

TEST(Wildcard, StarDotMatchesNamesWithoutExtension) {
    EXPECT_TRUE(MatchesWildcard("*.", "README"));
    EXPECT_FALSE(MatchesWildcard("*.", "read.me"));
}

TEST(Wildcard, QuestionMarkIsOneCharacterOrNoneBeforeADot) {
    EXPECT_TRUE(MatchesWildcard("a?.txt", "ab.txt"));
    EXPECT_TRUE(MatchesWildcard("a?.txt", "a.txt"));
    EXPECT_FALSE(MatchesWildcard("a?.txt", "abc.txt"));
    EXPECT_TRUE(MatchesWildcard("file.???", "file.tc"));
    EXPECT_FALSE(MatchesWildcard("?", "ab"));
}

TEST(Wildcard, LettersCompareIgnoringCaseLatinOneIncluded) {
    EXPECT_TRUE(MatchesWildcard("CAF\xC9*", "caf\xE9 cr\xE8me.tcr"));
    EXPECT_TRUE(MatchesWildcard("*.TCR", "x.tcr"));
    EXPECT_FALSE(MatchesWildcard("cafe*", "caf\xE9"));
}

TEST(Wildcard, PlainNamesMatchOnlyThemselves) {
    EXPECT_TRUE(MatchesWildcard("Course.tcr", "COURSE.TCR"));
    EXPECT_FALSE(MatchesWildcard("Course.tcr", "Course.tcr2"));
    EXPECT_TRUE(MatchesWildcard("*", "."));
    EXPECT_FALSE(MatchesWildcard("*.tca", "."));
}

TEST(Wildcard, ManyStarsStayQuick) {
    const std::string name(250, 'a');
    EXPECT_FALSE(MatchesWildcard("*a*a*a*a*a*a*a*a*a*a*a*a*a*b", name));
}

}  // namespace
}  // namespace parvane::wine
