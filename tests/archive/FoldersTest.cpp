#include <gtest/gtest.h>

#include <string>

#include "archive/Folders.h"
#include "base/GameFolders.h"
#include "base/PathText.h"
#include "platform/Machine.h"
#include "support/FaultInjectingMachine.h"
#include "support/ProcessStateResets.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

class FolderTest : public ::testing::Test {
  protected:
    void MakeFile(const std::string& path) { machine.WriteFile(path, "x"); }

    test::TestMachine machine;
    ScriptedUserInterface ui;
    const std::string scratch = machine.ScratchFolder();
};

// Every call of one folder operation on a path holding `pathPart` is denied.
test::Fault Denied(test::MachineCall call, std::string pathPart) {
    return {.call = call,
            .count = test::EVERY_CALL,
            .pathPart = std::move(pathPart),
            .error = ERR_ACCESS_DENIED};
}

TEST_F(FolderTest, FolderPartKeepsAnExistingFolderAndMatchesCountAnUnsearchableFolder) {
    EXPECT_EQ(GetFolderPart(scratch + "\\y.tcr"), scratch);
    machine.MakeFolders(scratch + "\\Course.tcx");
    EXPECT_EQ(GetFolderPart(scratch + "\\Course.tcx"), scratch + "\\Course.tcx");
    MakeFile(scratch + "\\Source.TCA");
    machine.MakeFolders(scratch + "\\Objects.tlb");
    EXPECT_TRUE(FolderHasMatch(scratch, "*.tca"));
    EXPECT_TRUE(FolderHasMatch(scratch, "*.tlb"));
    EXPECT_FALSE(FolderHasMatch(scratch, "*.tcr"));
    EXPECT_FALSE(FolderHasMatch(scratch + "\\Missing", "*.tca"));

    test::FaultInjectingMachine denying;
    denying.Inject(Denied(test::MachineCall::ListFolder, scratch));
    EXPECT_TRUE(FolderHasMatch(scratch, "*.tcr"));
}

TEST_F(FolderTest, CreateFolderPathCreatesEachMissingFolderOrStopsAtOneItCannot) {
    machine.MakeFolders(scratch + "\\A");
    EXPECT_TRUE(CreateFolderPath(scratch + "\\A\\B\\C"));
    EXPECT_TRUE(machine.FolderExists(scratch + "\\A\\B\\C"));
    EXPECT_TRUE(CreateFolderPath(""));

    test::FaultInjectingMachine denying;
    denying.Inject(Denied(test::MachineCall::MakeFolder, scratch + "\\A\\X\\Y\\"));
    ui.ExpectError("Couldn't create folder " + scratch + "\\A\\X\\Y\\, return code=5");
    EXPECT_FALSE(CreateFolderPath(scratch + "\\A\\X\\Y\\Z"));
    EXPECT_TRUE(machine.FolderExists(scratch + "\\A\\X"));
    EXPECT_FALSE(machine.FolderExists(scratch + "\\A\\X\\Y"));

    // Refused before anything is created.
    const std::string path = scratch + "\\New\\" + std::string(MAX_PATH_LENGTH, 'x');
    ui.ExpectError("Couldn't create folder " + path + ", return code=206");
    EXPECT_FALSE(CreateFolderPath(path));
    EXPECT_FALSE(machine.FolderExists(scratch + "\\New"));
}

// RemoveFolder touches only folders inside the game's folder.
class RemoveFolderTest : public FolderTest {
  protected:
    RemoveFolderTest() { ForgetGameFolders(); }
    ~RemoveFolderTest() override { ForgetGameFolders(); }
    const std::string course = machine.GameInstallDir() + "\\Courses\\Pine";
};

TEST_F(RemoveFolderTest, RemovesFilesAndTheFolderOrSaysWhatIsLeft) {
    RemoveFolder(course + "\\Missing");
    MakeFile(course + "\\one.tcr");
    MakeFile(course + "\\two.tcl");
    RemoveFolder(course);
    EXPECT_FALSE(machine.FolderExists(course));

    MakeFile(course + "\\one.tcr");
    machine.MakeFolders(course + "\\prv");
    ui.ExpectError("Couldn't remove file '" + course + "\\prv', return code=5");
    ui.ExpectInformation("There are still files left in the folder '" + course +
                         "',\nYou must remove this folder manually.");
    RemoveFolder(course);
    EXPECT_FALSE(machine.FileExists(course + "\\one.tcr"));
    EXPECT_TRUE(machine.FolderExists(course + "\\prv"));

    // A folder that cannot be removed is reported.
    ASSERT_EQ(TheMachine().RemoveEmptyFolder(course + "\\prv"), ERR_SUCCESS);
    MakeFile(course + "\\one.tcr");
    test::FaultInjectingMachine denying;
    denying.Inject(Denied(test::MachineCall::RemoveEmptyFolder, course));
    ui.ExpectError("Couldn't remove directory '" + course + "', return code=5");
    RemoveFolder(course);
    EXPECT_FALSE(machine.FileExists(course + "\\one.tcr"));
    EXPECT_TRUE(machine.FolderExists(course));
}

}  // namespace
}  // namespace parvane
