#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/OriginLists.h"

namespace parvane {
namespace {

class OriginLists : public ::testing::Test {
  protected:
    void SetUp() override { ClearOriginLists(); }
    void TearDown() override { ClearOriginLists(); }
};

TEST_F(OriginLists, MembershipIgnoresCaseButStorageKeepsIt) {
    AddPrvFile("a.bin");
    AddPrvFile("A.BIN");
    AddSoundsFile("Wind.WAV");
    AddTcxFile("text.txt");

    EXPECT_TRUE(IsPrvFile("A.Bin"));
    EXPECT_TRUE(IsSoundsFile("wind.wav"));
    EXPECT_TRUE(IsTcxFile("TEXT.TXT"));
    EXPECT_FALSE(IsPrvFile("wind.wav"));
    EXPECT_FALSE(IsSoundsFile("a.bin"));
    EXPECT_FALSE(IsTcxFile("a.bin"));
    // Only A to Z fold: code page letters above 127 are compared as they are.
    AddTcxFile("\xC9t\xE9.txt");
    EXPECT_FALSE(IsTcxFile("\xE9t\xE9.txt"));
    EXPECT_EQ(GetPrvFiles(), (std::vector<std::string>{"a.bin", "A.BIN"}));
    EXPECT_EQ(GetSoundsFiles(), (std::vector<std::string>{"Wind.WAV"}));
}

TEST_F(OriginLists, ClearEmptiesAllThree) {
    AddPrvFile("a.bin");
    AddSoundsFile("b.wav");
    AddTcxFile("c.txt");
    ClearOriginLists();
    EXPECT_FALSE(IsPrvFile("a.bin"));
    EXPECT_FALSE(IsSoundsFile("b.wav"));
    EXPECT_FALSE(IsTcxFile("c.txt"));
    EXPECT_TRUE(GetPrvFiles().empty());
    EXPECT_TRUE(GetSoundsFiles().empty());
    EXPECT_FALSE(IsPrvFile(""));
}

}  // namespace
}  // namespace parvane
