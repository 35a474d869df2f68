#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "properties/PropertyFileFormat.h"

namespace parvane {

namespace {

std::vector<PropertyEntry> Parse(std::string_view text) {
    std::vector<int> refusedLines;
    std::vector<PropertyEntry> entries = ParsePropertyText(text, refusedLines);
    EXPECT_TRUE(refusedLines.empty());
    return entries;
}

TEST(PropertyFile, SplitsAtTheFirstEqualsSignWithOrWithoutBlanks) {
    const std::vector<PropertyEntry> expected = {
        {"LibraryFolder", "c:\\libs"}, {"LibraryFolder", "c:\\libs"}, {"Odd", "a = b=c"}};
    EXPECT_EQ(Parse("LibraryFolder=c:\\libs\nLibraryFolder = c:\\libs\nOdd = a = b=c\n"), expected);
}

TEST(PropertyFile, SkipsCommentsAndLinesWithoutEqualsSignAndTrimsBlanksButNotTabs) {
    EXPECT_EQ(Parse("# comment = 1\n\nno equals sign\n  #Shown = 1\n"),
              (std::vector<PropertyEntry>{{"#Shown", "1"}}));
    EXPECT_EQ(Parse("   Key   =   c:\\x   \r\n\tTab = v\t\n"),
              (std::vector<PropertyEntry>{{"Key", "c:\\x"}, {"\tTab", "v\t"}}));
}

TEST(PropertyFile, TakesCrLfOrLfAndTheLastLineWithoutLineFeed) {
    const std::vector<PropertyEntry> expected = {{"A", "1"}, {"B", "2"}, {"C", "3"}};
    EXPECT_EQ(Parse("A = 1\r\nB = 2\nC = 3"), expected);
    EXPECT_EQ(Parse("A = 1\r\nB = 2\nC = 3\r"), expected);
}

TEST(PropertyFile, LineWithTooLongKeyOrValueIsRefusedWhole) {
    const std::string key79(79, 'k');
    const std::string value255(255, 'v');
    const std::string text = key79 + " = " + value255 + "\n" +             // fits exactly
                             std::string(80, 'k') + " = 1\n" +             // key too long
                             "Folder = " + std::string(256, 'v') + "\n" +  // value too long
                             "Next = 2\n";
    std::vector<int> refusedLines;
    const std::vector<PropertyEntry> entries = ParsePropertyText(text, refusedLines);
    const std::vector<PropertyEntry> expected = {{key79, value255}, {"Next", "2"}};
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(refusedLines, (std::vector<int>{2, 3}));
}

TEST(PropertyFile, WritesCrLfLinesThatReadBackAsTheSameEntries) {
    const std::vector<PropertyEntry> entries = {
        {"", "empty key"}, {"#Hash", "1"}, {"A", "x = y"}, {"TargetFolder", ""}};
    const std::string text = FormatPropertyText(entries);
    EXPECT_EQ(text, " = empty key\r\n #Hash = 1\r\nA = x = y\r\nTargetFolder = \r\n");
    EXPECT_EQ(Parse(text), entries);
}

}  // namespace
}  // namespace parvane
