#include <gtest/gtest.h>

#include "base/PathText.h"
#include "platform/AsciiCase.h"

namespace parvane {
namespace {

TEST(PathText, AffixComparisonsIgnoreTheCaseOfAToZOnly) {
    EXPECT_TRUE(EndsWithNoCase("Pack.ZIP", ".zip"));
    EXPECT_FALSE(EndsWithNoCase("Pack.zip ", ".zip"));
    EXPECT_FALSE(EndsWithNoCase("Pack.zip", ""));
    EXPECT_TRUE(StartsWithNoCase("C:\\GAMES\\GOLF\\Courses", "c:\\games\\golf"));
    EXPECT_FALSE(StartsWithNoCase("C:\\Game", "C:\\Games"));
    // "\xC9" and "\xE9" are upper- and lower-case E acute in code page 1252; the game's
    // comparison treats them as different characters.
    EXPECT_FALSE(EndsWithNoCase("Caf\xC9", "caf\xE9"));
}

TEST(PathText, DotComponentsAreThoseOfDotsAndBlanksOnlyBetweenEitherSeparator) {
    for (const char* path : {"..", "C:\\a\\.\\b", "C:\\a\\. .\\b", "C:\\a\\ ", "C:\\a/b\\...",
                             "C:/a/../b", "a\\.. \\b/c"}) {
        EXPECT_TRUE(HasDotComponent(path)) << path;
    }
    for (const char* path : {"", "C:\\a\\.b\\b.", "C:\\a\\\\b\\", "C:/a/ b/.c", "C:\\a\\..b"}) {
        EXPECT_FALSE(HasDotComponent(path)) << path;
    }
}

TEST(PathText, FileNameAndStemAreCutAtTheLastSeparatorAndDot) {
    EXPECT_EQ(GetFileNamePart("C:\\x\\y.tcr"), "y.tcr");
    EXPECT_EQ(GetFileNamePart("C:\\x\\"), "");
    // A forward slash wins over later backslashes.
    EXPECT_EQ(GetFileNamePart("a/b\\c.txt"), "b\\c.txt");
    EXPECT_EQ(FolderTextPart("Course/prv\\tree.bin"), "Course");
    EXPECT_EQ(FolderTextPart("Course\\prv\\a.bin"), "Course\\prv");
    EXPECT_EQ(GetFileStem("C:\\x\\Links.old.tcr"), "Links.old");
    EXPECT_EQ(GetFileStem("C:\\x\\.tcr"), "");
}

TEST(PathText, JoinPathPutsOneBackslashBetweenFolderAndName) {
    EXPECT_EQ(JoinPath("C:\\Games", "Pine.tcr"), "C:\\Games\\Pine.tcr");
    EXPECT_EQ(JoinPath("C:\\Games\\/", "prv\\a.dds"), "C:\\Games\\prv\\a.dds");
    EXPECT_EQ(JoinPath("C:\\", "Pine.tcr"), "C:\\Pine.tcr");
}

TEST(PathText, MakeValidNameRemovesForbiddenCharactersAndTrailingBlanks) {
    EXPECT_EQ(MakeValidName("a\\b/c:d*e?f\"g<h>i|j"), "abcdefghij");
    EXPECT_EQ(MakeValidName("  Leading stays"), "  Leading stays");
    // A blank left at the end once a forbidden character goes is trailing too.
    EXPECT_EQ(MakeValidName("Name ?"), "Name");
    EXPECT_EQ(MakeValidName("***"), "");
}

TEST(PathText, TextsLongerThanAWindowsPathAreKeptWhole) {
    const std::string longFolder = "C:\\" + std::string(300, 'f');
    const std::string longName = std::string(300, 'n') + ".tcr";
    EXPECT_EQ(GetFileNamePart(longFolder + "\\" + longName), longName);
    EXPECT_EQ(GetFileStem(longFolder + "\\" + longName), std::string(300, 'n'));
    EXPECT_EQ(MakeValidName(longName + "?"), longName);
}

}  // namespace
}  // namespace parvane
