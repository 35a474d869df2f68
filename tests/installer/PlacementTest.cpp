#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/PlaceFile.h"
#include "installer/RenamingChecks.h"
#include "platform/Machine.h"
#include "support/FaultInjectingMachine.h"
#include "support/InstallFixture.h"

namespace parvane {
namespace {

using Names = std::vector<std::string>;

class PlacementTest : public test::InstallTest {
  protected:
    PlacementTest() { machine.WriteFile(source, "new"); }

    const std::string source = Scratch() + "\\new.dat";
    const std::string folder = Scratch() + "\\Out\\Sub";
    const std::string destination = folder + "\\file.dat";
};

TEST_F(PlacementTest, CopiesIntoAMissingFolderChainAndPassesOverAMissingSource) {
    EXPECT_TRUE(PlaceFile(source, destination));
    EXPECT_TRUE(PlaceFile(Scratch() + "\\hole7.mp3", folder + "\\hole7.mp3"));
    EXPECT_TRUE(PlaceFile("", folder + "\\none.dat"));
    EXPECT_EQ(machine.ReadFile(destination), "new");
    EXPECT_EQ(test::FileNamesIn(folder), Names{"file.dat"}) << "no temporary file stays";
}

// Whichever step of the copy fails, the destination keeps its old content whole and the
// temporary copy beside it is gone.
TEST_F(PlacementTest, AFailedCopyLeavesTheOldFileWhole) {
    machine.WriteFile(destination, "old");
    for (const test::MachineCall call :
         {test::MachineCall::UniqueTempFile, test::MachineCall::CopyFileOver,
          test::MachineCall::MoveFileOver}) {
        test::FaultInjectingMachine faults;
        faults.Inject({.call = call, .error = ERR_DISK_FULL});
        ui.ExpectError("Couldn't copy to file '" + destination + "', return code=112");
        EXPECT_FALSE(PlaceFile(source, destination)) << test::MachineCallName(call);
        EXPECT_EQ(machine.ReadFile(destination), "old") << test::MachineCallName(call);
        EXPECT_EQ(test::FileNamesIn(folder), Names{"file.dat"}) << test::MachineCallName(call);
    }
}

// A companion file named otherwise than the course file may be renamed; a rename that fails is
// reported and the file keeps its name. A name that differs in letter case only is the same.
TEST_F(PlacementTest, AFailedRenameKeepsTheName) {
    const std::string unpacked = Scratch() + "\\unpacked";
    for (const char* name : {"Lakeside.tcr", "LAKESIDE.Stn", "notes.TCN", "Lakeside.tcn"}) {
        machine.WriteFile(unpacked + "\\" + name, name);
    }
    CourseRecord course;
    course.filename = "Lakeside.tcr";
    course.stationeryFile = "LAKESIDE.Stn";
    course.caddyBookFile = "notes.TCN";
    ui.ExpectYesNoCancel(DefaultButton::Yes,
                         "Parvane has detected that the supplied caddy book file\n'notes.TCN' "
                         "does not have the same name as the course file.\n\nDo you want Parvane "
                         "to correct this?\n\nPress Yes to correct the file name.\nPress No to "
                         "copy the file with its current name.\nPress Cancel to skip copying the "
                         "file.",
                         ANSWER_YES);
    ui.ExpectError("Couldn't rename file '" + unpacked + "\\notes.TCN' to\n'" + unpacked +
                   "\\Lakeside.tcn', return code=183");
    RunRenamingChecks(unpacked, course);
    EXPECT_EQ(course.stationeryFile, "LAKESIDE.Stn");
    EXPECT_EQ(course.caddyBookFile, "notes.TCN");
    EXPECT_EQ(machine.ReadFile(unpacked + "\\Lakeside.tcn"), "Lakeside.tcn");
}

}  // namespace
}  // namespace parvane
