#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/PlaceFile.h"
#include "installer/RenamingChecks.h"
#include "platform/Machine.h"
#include "properties/Properties.h"
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
    EXPECT_EQ(machine.ReadFile(destination), "new");
    EXPECT_TRUE(PlaceFile(Scratch() + "\\hole7.mp3", folder + "\\hole7.mp3"));
    EXPECT_TRUE(PlaceFile("", folder + "\\none.dat"));
    EXPECT_EQ(test::FileNamesIn(folder), Names{"file.dat"}) << "no temporary file stays";
}

TEST_F(PlacementTest, AnyNonZeroOverwriteSwitchAsks) {
    machine.WriteFile(destination, "old");
    SetProperty(PROPERTY_WARN_ON_OVERWRITE_FILE, "-1");
    ui.ExpectYesNoCancel(DefaultButton::No,
                         "The target file '" + destination +
                             "' already exists.\nDo you want Parvane to overwrite the existing "
                             "file with the new file?\n\nPress Yes if you like Parvane to "
                             "overwrite the existing file.\nPress No to keep the existing "
                             "file.\nPress Cancel to terminate the installation.\n",
                         ANSWER_YES);
    EXPECT_TRUE(PlaceFile(source, destination));
    EXPECT_EQ(machine.ReadFile(destination), "new");
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

struct RenamingCase {
    const char* name;
    int answer;
    bool targetTaken;       // a file of the new name is in the way
    const char* caddyBook;  // the field afterwards
    Names unpacked;         // the files of the folder afterwards
};

class RenamingChecks : public PlacementTest, public ::testing::WithParamInterface<RenamingCase> {};

// The course initialization file is renamed (Yes) and takes the lower-case extension; the
// stationery file already carries the course's name in other letter case; the caddy book
// follows the answer of each case.
TEST_P(RenamingChecks, FollowTheAnswer) {
    const RenamingCase& c = GetParam();
    const std::string unpacked = Scratch() + "\\unpacked";
    for (const char* name : {"Lakeside.tcr", "setup.INI", "LAKESIDE.Stn", "notes.TCN"}) {
        machine.WriteFile(unpacked + "\\" + name, name);
    }
    if (c.targetTaken) {
        machine.WriteFile(unpacked + "\\Lakeside.tcn", "taken");
    }
    CourseRecord course;
    course.filename = "Lakeside.tcr";
    course.iniFile = "setup.INI";
    course.stationeryFile = "LAKESIDE.Stn";
    course.caddyBookFile = "notes.TCN";
    const std::string tail =
        "' does not have the same name as the course file.\n\nDo you want Parvane to correct "
        "this?\n\nPress Yes to correct the file name.\nPress No to copy the file with its "
        "current name.\nPress Cancel to skip copying the file.";
    ui.ExpectYesNoCancel(DefaultButton::Yes,
                         "Parvane has detected that the supplied course initialization "
                         "file\n'setup.INI" +
                             tail,
                         ANSWER_YES);
    ui.ExpectYesNoCancel(
        DefaultButton::Yes,
        "Parvane has detected that the supplied caddy book file\n'notes.TCN" + tail, c.answer);
    if (c.targetTaken) {
        ui.ExpectError("Couldn't rename file '" + unpacked + "\\notes.TCN' to\n'" + unpacked +
                       "\\Lakeside.tcn', return code=183");
    }
    RunRenamingChecks(unpacked, course);
    EXPECT_EQ(course.iniFile, "Lakeside.ini");
    EXPECT_EQ(course.stationeryFile, "LAKESIDE.Stn");
    EXPECT_EQ(course.caddyBookFile, c.caddyBook);
    EXPECT_EQ(test::FileNamesIn(unpacked), c.unpacked);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, RenamingChecks,
    ::testing::Values(RenamingCase{"Yes",
                                   ANSWER_YES,
                                   false,
                                   "Lakeside.tcn",
                                   {"LAKESIDE.Stn", "Lakeside.ini", "Lakeside.tcn",
                                    "Lakeside.tcr"}},
                      RenamingCase{"No",
                                   ANSWER_NO,
                                   false,
                                   "notes.TCN",
                                   {"LAKESIDE.Stn", "Lakeside.ini", "Lakeside.tcr", "notes.TCN"}},
                      RenamingCase{"Cancel",
                                   ANSWER_CANCEL,
                                   false,
                                   "",
                                   {"LAKESIDE.Stn", "Lakeside.ini", "Lakeside.tcr", "notes.TCN"}},
                      RenamingCase{"FailedRename",
                                   ANSWER_YES,
                                   true,
                                   "notes.TCN",
                                   {"LAKESIDE.Stn", "Lakeside.ini", "Lakeside.tcn", "Lakeside.tcr",
                                    "notes.TCN"}}),
    test::RowName());

}  // namespace
}  // namespace parvane
