#include <gtest/gtest.h>

#include "analysis/MissingLibrariesReport.h"
#include "support/FaultInjectingMachine.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane::test {
namespace {

// The page as one line: each line end (the platform's) and the indentation after it left out.
std::string OneLine(std::string page) {
    for (auto at = page.find(REPORT_LINE_END); at != std::string::npos;
         at = page.find(REPORT_LINE_END, at)) {
        page.erase(at, page.find_first_not_of(' ', at + REPORT_LINE_END.size()) - at);
    }
    EXPECT_EQ(page.find_first_of("\r\n"), std::string::npos) << "a line end of another platform";
    return page;
}

bool Has(const std::string& page, const std::string& part) {
    return page.find(part) != std::string::npos;
}

class MissingLibrariesReport : public ::testing::Test {
  protected:
    ~MissingLibrariesReport() override { SetReportFolder({}); }

    TestMachine machine;
    ScriptedUserInterface ui;
    const std::string folder = machine.ScratchFolder();
};

// tests/report checks the page against HTML 4.01 Strict; here, where the names land in it.
TEST_F(MissingLibrariesReport,
       PageShowsTheNamesEscapedInItsSentenceAndListAndReplacesAnEarlierOne) {
    SetReportFolder(folder);
    ASSERT_EQ(WriteMissingLibrariesReport("Old", {"Old library"}),
              folder + "\\MissingLibraries.htm");

    const std::string path =
        WriteMissingLibrariesReport("Tom & Jerry's <Links>", {"Trees & \"Rocks\"", "<b>x</b>"});

    ASSERT_EQ(path, folder + "\\MissingLibraries.htm");
    const std::string page = OneLine(machine.ReadFile(path));
    EXPECT_EQ(page.rfind("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\"", 0), 0u) << page;
    EXPECT_TRUE(Has(page, "<title>Parvane missing libraries report</title>")) << page;
    EXPECT_TRUE(Has(page, "the course &quot;Tom &amp; Jerry's &lt;Links&gt;&quot;,")) << page;
    EXPECT_TRUE(
        Has(page, "<ul><li>Trees &amp; &quot;Rocks&quot;</li><li>&lt;b&gt;x&lt;/b&gt;</li></ul>"))
        << page;
    EXPECT_FALSE(Has(page, "Old")) << page;
    EXPECT_TRUE(Has(OneLine(MissingLibrariesReportText("Pine", {})), "<ul></ul>"));
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
