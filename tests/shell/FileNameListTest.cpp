#include <gtest/gtest.h>

#include <string>

#include "shell/FileNameList.h"
#include "support/ScriptedUserInterface.h"

namespace parvane {
namespace {

TEST(FileNameList, WalkReturnsEachEntryOnceThenResetsTheCursor) {
    ClearFileNameList();
    ASSERT_TRUE(AddFileName("C:\\a.zip"));
    ASSERT_TRUE(AddFileName("C:\\b.zip"));
    const FileNameEntry* first = NextFileName(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->path, "C:\\a.zip");
    EXPECT_EQ(first->isTemporary, 0);
    EXPECT_EQ(NextFileName(1)->path, "C:\\b.zip");
    EXPECT_EQ(NextFileName(1), nullptr);
    EXPECT_EQ(NextFileName(1)->path, "C:\\a.zip");
    ClearFileNameList();
    NextFileName(1);
}

TEST(FileNameList, PathOverTheCapacityIsRefusedNotCut) {
    ScriptedUserInterface ui;
    const std::string longPath = "C:\\" + std::string(253, 'a');
    ui.ExpectError(Containing("is longer than 255 characters"));
    EXPECT_FALSE(AddFileName(longPath));
    EXPECT_TRUE(AddFileName(longPath.substr(0, 255)));
    EXPECT_EQ(FileNameCount(), 1);
    ClearFileNameList();
}

}  // namespace
}  // namespace parvane
