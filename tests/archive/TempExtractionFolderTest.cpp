#include <gtest/gtest.h>

#include <string>

#include "archive/TempExtractionFolder.h"
#include "platform/AsciiCase.h"
#include "support/FaultInjectingMachine.h"
#include "support/ProcessStateResets.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

class TempExtractionFolderTest : public ::testing::Test {
  protected:
    void SetUp() override { ForgetTempExtractionFolder(); }
    void TearDown() override { ForgetTempExtractionFolder(); }

    test::TestMachine machine;
    ScriptedUserInterface ui;
};

// Without a temporary folder there is none, and nothing is kept; the name found next is kept
// for the run.
TEST_F(TempExtractionFolderTest, NoneWithoutATemporaryFolderThenOneForTheRun) {
    {
        test::FaultInjectingMachine failing;
        failing.Inject({.call = test::MachineCall::TempPath, .error = ERR_ACCESS_DENIED});
        ui.ExpectError("Couldn't get temporary path, return code=5");
        EXPECT_EQ(GetTempExtractionFolder(), "");
    }
    std::string tempFolder;
    ASSERT_EQ(TheMachine().TempPath(tempFolder), ERR_SUCCESS);
    const std::string folder = GetTempExtractionFolder();
    EXPECT_TRUE(StartsWithNoCase(folder, tempFolder + "PRV")) << folder;
    EXPECT_EQ(GetTempExtractionFolder(), folder);
}

// Only folders named as the program names its own, and not this run's, are removed.
TEST_F(TempExtractionFolderTest, RemovesWhatAKilledRunLeftAndNothingElse) {
    std::string temp;
    ASSERT_EQ(TheMachine().TempPath(temp), ERR_SUCCESS);
    // Under wine the temporary folder is the suite's prefix's: what other programs left goes first.
    RemoveLeftoverTemporaryFolders();
    const std::string current = GetTempExtractionFolder();
    for (const char* folder : {"PRV1F.tmp", "prv2a3b.TMP", "PRVXYZ.tmp", "PRV12345.tmp"})
        machine.WriteFile(temp + folder + "\\a.tcr", "12345");
    machine.WriteFile(temp + "PRV9.tmp", "a file");
    machine.WriteFile(current + "\\b.tcr", "x");

    EXPECT_EQ(RemoveLeftoverTemporaryFolders(), 10u);
    EXPECT_FALSE(machine.FolderExists(temp + "PRV1F.tmp"));
    EXPECT_FALSE(machine.FolderExists(temp + "prv2a3b.TMP"));
    for (const char* kept : {"PRVXYZ.tmp\\a.tcr", "PRV12345.tmp\\a.tcr", "PRV9.tmp"})
        EXPECT_TRUE(machine.FileExists(temp + kept)) << kept;
    EXPECT_TRUE(machine.FileExists(current + "\\b.tcr"));
}

}  // namespace
}  // namespace parvane
