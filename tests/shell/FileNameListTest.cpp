#include <gtest/gtest.h>

#include <string>

#include "shell/FileNameList.h"
#include "support/ScriptedUserInterface.h"

namespace parvane {
namespace {

class FileNameList : public ::testing::Test {
  protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    // Empties the queue and walks the cursor back to the start.
    static void Reset() {
        ClearFileNameList();
        NextFileName(1);
    }
};

TEST_F(FileNameList, WalkReturnsEachEntryOnceThenResetsTheCursor) {
    ASSERT_TRUE(AddFileName("C:\\a.zip"));
    ASSERT_TRUE(AddFileName("C:\\b.zip"));
    EXPECT_EQ(FileNameCount(), 2);

    const FileNameEntry* first = NextFileName(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->path, "C:\\a.zip");
    EXPECT_EQ(first->isTemporary, 0);
    EXPECT_EQ(first->packageKind, 0);
    EXPECT_EQ(NextFileName(1)->path, "C:\\b.zip");
    EXPECT_EQ(NextFileName(1), nullptr);
    // The failed call put the cursor back on the first entry.
    EXPECT_EQ(NextFileName(1)->path, "C:\\a.zip");
}

TEST_F(FileNameList, StepsOtherThanOneMoveTheCursorAndClearKeepsIt) {
    for (const char* path : {"C:\\0", "C:\\1", "C:\\2", "C:\\3"})
        ASSERT_TRUE(AddFileName(path));
    EXPECT_EQ(NextFileName(2)->path, "C:\\0");
    EXPECT_EQ(NextFileName(0)->path, "C:\\2");
    EXPECT_EQ(NextFileName(-1)->path, "C:\\2");
    EXPECT_EQ(NextFileName(5)->path, "C:\\1");
    EXPECT_EQ(NextFileName(1), nullptr);

    NextFileName(1);
    NextFileName(1);
    ClearFileNameList();
    EXPECT_EQ(FileNameCount(), 0);
    for (const char* path : {"C:\\x", "C:\\y", "C:\\z"})
        ASSERT_TRUE(AddFileName(path));
    EXPECT_EQ(NextFileName(1)->path, "C:\\z");
}

TEST_F(FileNameList, PathOverTheCapacityIsRefusedNotCut) {
    ScriptedUserInterface ui;
    const std::string longPath = "C:\\" + std::string(253, 'a');
    ASSERT_EQ(longPath.size(), 256u);
    ui.ExpectError(Containing("is longer than 255 characters"));
    EXPECT_FALSE(AddFileName(longPath));
    EXPECT_TRUE(AddFileName(longPath.substr(0, 255)));
    EXPECT_EQ(FileNameCount(), 1);
}

}  // namespace
}  // namespace parvane
