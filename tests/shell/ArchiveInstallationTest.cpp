#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/MissingLibrariesReport.h"
#include "archive/TempExtractionFolder.h"
#include "shell/ArchiveInstallation.h"
#include "shell/FileNameList.h"
#include "shell/Html.h"
#include "support/FaultInjectingMachine.h"
#include "support/InstallFixture.h"
#include "support/ProcessStateResets.h"

namespace parvane {
namespace {

class ArchiveInstallation : public test::InstallTest {
  protected:
    RunSummary summary;
};

// The closing message of each outcome, the title while an archive is installed, and the
// clean-up after each: the temporary extraction folder goes, the user's own archives stay.
TEST_F(ArchiveInstallation, ReportsEachOutcomeAndCleansUp) {
    const std::string complete = Package({{"Pines.tcl", test::LibraryData("Pines", 301)}}, "a.zip");
    const std::string notAPackage = Package({{"readme.txt", "text"}}, "b.zip");
    const std::string withWarnings =
        Package({{"Lakeside.tcr", test::CourseData("Lakeside", 1, {{102, "Rocks"}})}}, "c.zip");
    SetFileNameEntries({{complete, 0, 2}, {notAPackage, 0, 0}});
    ui.ExpectInformation("Installation complete.");
    EXPECT_EQ(InstallQueuedArchive(complete, summary), QueuedInstall::Installed);
    ui.ExpectError(Containing("does not appear\nto be a course or library package."));
    ui.ExpectError("Installation not complete.");
    EXPECT_EQ(InstallQueuedArchive(notAPackage, summary), QueuedInstall::NotInstalled);
    ui.ExpectYesNo(DefaultButton::No, Containing("library:\n\nRocks"), ANSWER_YES);
    ui.ExpectYesNo(DefaultButton::Yes,
                   "Installation complete, with warnings.\nWould you like to view a report of "
                   "the missing libraries?",
                   ANSWER_YES);
    // The report is written and handed to the browser (which does not start here).
    SetReportFolder(Scratch());
    ForgetHtmlHandler();
    machine.SetString(Hive::ClassesRoot, ".htm", "", "htmlfile");
    machine.SetString(Hive::ClassesRoot, "htmlfile\\Shell\\Open\\Command", "", "browse.exe %1");
    test::FaultInjectingMachine faults;
    faults.Inject({.call = test::MachineCall::RunCommand});
    EXPECT_EQ(InstallQueuedArchive(withWarnings, summary), QueuedInstall::Installed);
    SetFileNameEntries({});
    SetReportFolder({});
    ForgetHtmlHandler();
    const std::string report = Scratch() + "\\MissingLibraries.htm";
    EXPECT_NE(machine.ReadFile(report).find("&quot;Lakeside&quot;"), std::string::npos);
    EXPECT_NE(machine.ReadFile(report).find("<li>Rocks</li>"), std::string::npos);
    const std::vector<std::string> commands = faults.CallPaths(test::MachineCall::RunCommand);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_TRUE(commands[0].ends_with("\"" + report + "\"")) << commands[0];

    EXPECT_TRUE(machine.FileExists(complete));
    EXPECT_TRUE(machine.FileExists(notAPackage));
    EXPECT_FALSE(machine.FolderExists(GetTempExtractionFolder()));
    std::vector<std::string> titles;
    for (const std::string& archive : {complete, notAPackage, withWarnings}) {
        titles.push_back("Parvane for Greenvale 06 - " + archive);
        titles.push_back("Parvane for Greenvale 06");
    }
    EXPECT_EQ(ui.Titles(), titles);
}

TEST_F(ArchiveInstallation, ALongArchivePathIsShortenedInTheTitle) {
    const std::string archive = "C:\\" + std::string(240, 'd') + "\\tail.zip";
    ui.ExpectError(Containing("Couldn't get ZIP global info"));
    ui.ExpectError("Installation not complete.");
    EXPECT_EQ(InstallQueuedArchive(archive, summary), QueuedInstall::NotInstalled);
    const std::string title = ui.Titles().front();
    EXPECT_EQ(title.size(), 255u);
    EXPECT_TRUE(title.ends_with("d\\tail.zip")) << title;
}

}  // namespace
}  // namespace parvane
