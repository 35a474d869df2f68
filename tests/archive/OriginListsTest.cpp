#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/OriginLists.h"

namespace parvane {
namespace {

TEST(OriginLists, MembershipIgnoresCaseButStorageKeepsItUntilCleared) {
    ClearOriginLists();
    AddPrvFile("a.bin");
    AddPrvFile("A.BIN");
    AddSoundsFile("Wind.WAV");
    AddTcxFile("text.txt");

    EXPECT_TRUE(IsPrvFile("A.Bin"));
    EXPECT_TRUE(IsSoundsFile("wind.wav"));
    EXPECT_TRUE(IsTcxFile("TEXT.TXT"));
    EXPECT_FALSE(IsPrvFile("wind.wav"));
    EXPECT_FALSE(IsSoundsFile("a.bin"));
    // Only A to Z fold: code page letters above 127 are compared as they are.
    AddTcxFile("\xC9t\xE9.txt");
    EXPECT_FALSE(IsTcxFile("\xE9t\xE9.txt"));
    EXPECT_EQ(GetPrvFiles(), (std::vector<std::string>{"a.bin", "A.BIN"}));
    EXPECT_EQ(GetSoundsFiles(), (std::vector<std::string>{"Wind.WAV"}));

    ClearOriginLists();
    EXPECT_FALSE(IsPrvFile("a.bin"));
    EXPECT_FALSE(IsSoundsFile("wind.wav"));
    EXPECT_FALSE(IsTcxFile("text.txt"));
}

}  // namespace
}  // namespace parvane
