#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/OriginLists.h"

namespace parvane {
namespace {

TEST(OriginLists, MembershipIgnoresCaseButStorageKeepsIt) {
    ClearOriginLists();
    AddPrvFile("a.bin");
    AddPrvFile("A.BIN");
    AddSoundsFile("Wind.WAV");
    AddTcxFile("text.txt");

    EXPECT_TRUE(IsPrvFile("A.Bin"));
    EXPECT_TRUE(IsSoundsFile("wind.wav"));
    EXPECT_TRUE(IsTcxFile("TEXT.TXT"));
    // Only A to Z fold: code page letters above 127 are compared as they are.
    AddTcxFile("\xC9t\xE9.txt");
    EXPECT_FALSE(IsTcxFile("\xE9t\xE9.txt"));
    EXPECT_EQ(GetPrvFiles(), (std::vector<std::string>{"a.bin", "A.BIN"}));
    EXPECT_EQ(GetSoundsFiles(), (std::vector<std::string>{"Wind.WAV"}));
}

}  // namespace
}  // namespace parvane
