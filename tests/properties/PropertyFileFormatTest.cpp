#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "properties/PropertyFileFormat.h"

namespace parvane {
namespace {

using Entries = std::vector<PropertyEntry>;

// Split at the first '=', blanks (not tabs) trimmed, comments and lines without '=' skipped,
// CR LF or LF, the last line with neither.
TEST(PropertyFile, EntriesAreSplitAtTheFirstEqualsSignAndOverlongLinesRefusedWhole) {
    const std::string key79(79, 'k');
    const std::string value255(255, 'v');
    const std::string text = "# comment = 1\n\nno equals sign\n  #Shown = 1\r\n" + key79 + " = " +
                             value255 + "\n" + std::string(80, 'k') +
                             " = 1\nFolder = " + std::string(256, 'v') +
                             "\n   Odd   =a = b=c  \n\tTab = v\t\nLast=1\r";
    std::vector<int> refusedLines;
    EXPECT_EQ(ParsePropertyText(text, refusedLines), (Entries{{"#Shown", "1"},
                                                              {key79, value255},
                                                              {"Odd", "a = b=c"},
                                                              {"\tTab", "v\t"},
                                                              {"Last", "1"}}));
    EXPECT_EQ(refusedLines, (std::vector<int>{6, 7}));
}

}  // namespace
}  // namespace parvane
