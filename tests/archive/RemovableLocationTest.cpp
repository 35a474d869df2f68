#include <gtest/gtest.h>

#include <string>

#include "archive/Folders.h"
#include "base/GameFolders.h"
#include "base/PathText.h"
#include "catalogue/GameDetection.h"
#include "platform/Machine.h"
#include "support/FaultInjectingMachine.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

class RemovableLocationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ForgetGameFolders();
        machine.MakeFolders(courseFolder);
    }
    void TearDown() override { ForgetGameFolders(); }

    std::string MakeFile(const std::string& path) {
        machine.WriteFile(path, "x");
        return path;
    }

    test::TestMachine machine;
    const std::string game = machine.GameInstallDir();
    const std::string courseFolder = game + "\\Courses\\Pine";
};

TEST_F(RemovableLocationTest, AcceptsAFolderInsideTheGameFolderFreeOfSources) {
    EXPECT_TRUE(IsRemovableLocation(MakeFile(courseFolder + "\\Pine.tcr")));
    EXPECT_TRUE(IsRemovableLocation(courseFolder + "\\NotYetThere.tcr"));
}

TEST_F(RemovableLocationTest, RefusesAFolderHoldingSourceFiles) {
    const std::string course = MakeFile(courseFolder + "\\Pine.tcr");
    MakeFile(courseFolder + "\\Objects.TLB");
    EXPECT_FALSE(IsRemovableLocation(course));
    ASSERT_EQ(TheMachine().RemoveFile(courseFolder + "\\Objects.TLB"), ERR_SUCCESS);
    MakeFile(courseFolder + "\\Pine.tca");
    EXPECT_FALSE(IsRemovableLocation(course));
}

TEST_F(RemovableLocationTest, RefusesTheGameFolderItselfAndEverythingOutsideIt) {
    EXPECT_FALSE(IsRemovableLocation(MakeFile(game + "\\Stray.tcl")));
    EXPECT_FALSE(IsRemovableLocation(MakeFile(machine.ScratchFolder() + "\\Pine.tcr")));
    // A sibling whose name merely starts like the game folder's.
    EXPECT_FALSE(IsRemovableLocation(MakeFile(game + " Old\\Pine.tcr")));
    EXPECT_FALSE(IsRemovableLocation(courseFolder + "\\..\\..\\..\\" + GetFileNamePart(game) +
                                     " Old\\Pine.tcr"));
    // While the game folder is unknown, nothing is inside it.
    machine.SetString(Hive::LocalMachine, test::GAME_KEY, "Install Dir", "");
    ForgetGameFolders();
    EXPECT_FALSE(IsRemovableLocation(MakeFile(courseFolder + "\\Pine.tcr")));
}

TEST_F(RemovableLocationTest, PathUnderIgnoresCaseAndTrailingSeparators) {
    MakeFile(game + " Old\\x.txt");
    EXPECT_TRUE(IsPathUnder(game + "\\", courseFolder + "\\"));
    EXPECT_TRUE(IsPathUnder(game, game + "\\COURSES"));
    EXPECT_FALSE(IsPathUnder(game + "\\", game));
    EXPECT_FALSE(IsPathUnder(game, game + " Old"));
    EXPECT_FALSE(IsPathUnder(game, game + "\\Missing"));
    EXPECT_FALSE(IsPathUnder(game + "\\Missing", courseFolder));
}

TEST(PathUnder, RefusesADotDotComponentThatTheSystemLeavesInPlace) {
    // Windows keeps ".." in a long path name; the prefix would then hide a way out.
    test::TestMachine machine;
    const std::string game = machine.GameInstallDir();
    machine.MakeFolders(game + "\\Courses");
    test::FaultInjectingMachine keeping;
    keeping.AnswerLongPathNamesAsGiven();
    EXPECT_TRUE(IsPathUnder(game, game + "\\Courses"));
    EXPECT_FALSE(IsPathUnder(game, game + "\\Courses\\..\\..\\Windows"));
    EXPECT_FALSE(IsPathUnder(game, game + "\\.\\Courses"));
}

}  // namespace
}  // namespace parvane
