#include <gtest/gtest.h>

#include "analysis/MissingLibrariesReport.h"
#include "support/FaultInjectingMachine.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane::test {
namespace {

class MissingLibrariesReport : public ::testing::Test {
  protected:
    ~MissingLibrariesReport() override { SetReportFolder({}); }

    TestMachine machine;
    ScriptedUserInterface ui;
    const std::string folder = machine.ScratchFolder();
};

TEST_F(MissingLibrariesReport, PageHoldsTheNamesEscapedAndReplacesAnEarlierOne) {
    SetReportFolder(folder);
    ASSERT_EQ(WriteMissingLibrariesReport("Old", {"Old library"}),
              folder + "\\MissingLibraries.htm");

    const std::string path =
        WriteMissingLibrariesReport("Tom & Jerry's <Links>", {"Trees & \"Rocks\"", "<b>x</b>"});

    ASSERT_EQ(path, folder + "\\MissingLibraries.htm");
    // The template (checked as HTML by ReportInToolsTest) around the names, escaped.
    const std::string line = std::string(REPORT_LINE_END);
    const std::string page = machine.ReadFile(path);
    EXPECT_TRUE(page.starts_with("<!DOCTYPE HTML PUBLIC")) << page;
    EXPECT_TRUE(page.ends_with("</html>" + line)) << page;
    for (const std::string& part :
         {"the course &quot;Tom &amp; Jerry's &lt;Links&gt;&quot;," + line,
          "<ul>" + line + "      <li>Trees &amp; &quot;Rocks&quot;</li>" + line +
              "      <li>&lt;b&gt;x&lt;/b&gt;</li>" + line + "    </ul>"}) {
        EXPECT_NE(page.find(part), std::string::npos) << part << " in\n" << page;
    }
    EXPECT_EQ(page.find("Old"), std::string::npos);
    EXPECT_EQ(page.find('\n'), page.find(line) + line.size() - 1);
}

TEST_F(MissingLibrariesReport, ProgramFolderThatCannotBeWrittenGivesWayToTheTemporaryFolder) {
    FaultInjectingMachine faults;
    faults.SetModulePath(folder + "\\Parvane.exe");
    std::string temporary;
    ASSERT_EQ(TheMachine().TempPath(temporary), ERR_SUCCESS);
    const std::string inTemporary = temporary + "MissingLibraries.htm";
    faults.Inject({.call = MachineCall::OpenFile, .pathPart = folder, .error = ERR_ACCESS_DENIED});

    EXPECT_EQ(WriteMissingLibrariesReport("Pine", {"Trees"}), inTemporary);
    EXPECT_EQ(machine.ReadFile(inTemporary), MissingLibrariesReportText("Pine", {"Trees"}));

    // Neither can be written: nothing is offered, and the message names both.
    faults.Inject({.call = MachineCall::OpenFile, .count = EVERY_CALL, .error = ERR_DISK_FULL});
    ui.ExpectError("Couldn't write the missing-libraries report, so it is not shown.\n'" + folder +
                   "\\MissingLibraries.htm': No space left on device\n'" + inTemporary +
                   "': No space left on device");
    EXPECT_EQ(WriteMissingLibrariesReport("Pine", {"Trees"}), "");
    TheMachine().RemoveFile(inTemporary);
}

}  // namespace
}  // namespace parvane::test
