#include <gtest/gtest.h>

#include "archive/PathHelpers.h"

namespace parvane {
namespace {

TEST(EndsWithNoCase, ComparesTheTailIgnoringCase) {
    EXPECT_TRUE(EndsWithNoCase("Pack.ZIP", ".zip"));
    EXPECT_TRUE(EndsWithNoCase(".zip", ".zip"));
    EXPECT_TRUE(EndsWithNoCase("C:\\x\\Course/PRV", "/prv"));
    EXPECT_FALSE(EndsWithNoCase("Pack.zap", ".zip"));
    EXPECT_FALSE(EndsWithNoCase("Pack.zip ", ".zip"));
}

TEST(EndsWithNoCase, IsFalseForALongerSuffixOrAnEmptyText) {
    EXPECT_FALSE(EndsWithNoCase("zip", ".zip"));
    EXPECT_FALSE(EndsWithNoCase("", ".zip"));
    EXPECT_FALSE(EndsWithNoCase("Pack.zip", ""));
    EXPECT_FALSE(EndsWithNoCase("", ""));
}

TEST(StartsWithNoCase, ComparesTheHeadIgnoringCase) {
    EXPECT_TRUE(StartsWithNoCase("C:\\GAMES\\GOLF\\Courses", "c:\\games\\golf"));
    EXPECT_TRUE(StartsWithNoCase("abc", "ABC"));
    EXPECT_FALSE(StartsWithNoCase("C:\\Gamez", "c:\\games"));
    EXPECT_FALSE(StartsWithNoCase("C:\\Game", "C:\\Games"));
    EXPECT_FALSE(StartsWithNoCase("", "C:"));
    EXPECT_FALSE(StartsWithNoCase("C:", ""));
}

TEST(CaseFolding, FoldsOnlyTheLettersAToZ) {
    // "\xC9" and "\xE9" are upper- and lower-case E acute in code page 1252; the game's
    // comparison treats them as different characters.
    EXPECT_FALSE(EndsWithNoCase("Caf\xC9", "caf\xE9"));
    EXPECT_FALSE(StartsWithNoCase("[x", "{x"));
}

TEST(GetFileNamePart, TakesTheTextAfterTheLastSeparator) {
    EXPECT_EQ(GetFileNamePart("C:\\x\\y.tcr"), "y.tcr");
    EXPECT_EQ(GetFileNamePart("y.tcr"), "y.tcr");
    EXPECT_EQ(GetFileNamePart("Course/prv/1.prv"), "1.prv");
    EXPECT_EQ(GetFileNamePart("C:\\x\\"), "");
}

TEST(GetFileNamePart, LetsAForwardSlashWinOverLaterBackslashes) {
    EXPECT_EQ(GetFileNamePart("a/b\\c.txt"), "b\\c.txt");
}

TEST(GetFileStem, CutsAtTheLastDotOfTheName) {
    EXPECT_EQ(GetFileStem("C:\\x\\Links.old.tcr"), "Links.old");
    EXPECT_EQ(GetFileStem("C:\\x.d\\README"), "README");
    EXPECT_EQ(GetFileStem("C:\\x\\.tcr"), "");
    EXPECT_EQ(GetFileStem("Pack/Course.tcr"), "Course");
}

TEST(MakeValidName, RemovesForbiddenCharactersAndTrailingBlanks) {
    EXPECT_EQ(MakeValidName("Links: Part 2?  "), "Links Part 2");
    EXPECT_EQ(MakeValidName("a\\b/c:d*e?f\"g<h>i|j"), "abcdefghij");
    EXPECT_EQ(MakeValidName("  Leading stays"), "  Leading stays");
    // A blank left at the end once a forbidden character goes is trailing too.
    EXPECT_EQ(MakeValidName("Name ?"), "Name");
    EXPECT_EQ(MakeValidName("Tab\t"), "Tab\t");
}

TEST(MakeValidName, CanLeaveNothing) {
    EXPECT_EQ(MakeValidName("***"), "");
    EXPECT_EQ(MakeValidName("   "), "");
    EXPECT_EQ(MakeValidName(""), "");
}

TEST(CollapseBackslashes, ReducesEveryRunToOne) {
    EXPECT_EQ(CollapseBackslashes("C:\\\\\\Games\\Golf\\\\Courses"), "C:\\Games\\Golf\\Courses");
    EXPECT_EQ(CollapseBackslashes("\\\\server\\share"), "\\server\\share");
    EXPECT_EQ(CollapseBackslashes("a//b\\"), "a//b\\");
    EXPECT_EQ(CollapseBackslashes(""), "");
}

TEST(TextOperations, KeepTextsLongerThanAWindowsPathWhole) {
    const std::string longFolder = "C:\\" + std::string(300, 'f');
    const std::string longName = std::string(300, 'n') + ".tcr";
    EXPECT_EQ(GetFileNamePart(longFolder + "\\" + longName), longName);
    EXPECT_EQ(GetFileStem(longFolder + "\\" + longName), std::string(300, 'n'));
    EXPECT_EQ(CollapseBackslashes(longFolder + "\\\\" + longName), longFolder + "\\" + longName);
    EXPECT_EQ(MakeValidName(longName + "?"), longName);
}

}  // namespace
}  // namespace parvane
