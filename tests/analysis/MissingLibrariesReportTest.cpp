#include <gtest/gtest.h>

#include "analysis/MissingLibrariesReport.h"
#include "support/FaultInjectingMachine.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane::test {
namespace {

// The page with LF line ends, as the template gives it, around `items`.
std::string ExpectedPage(const std::string& course, const std::string& items) {
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" "
           "\"http://www.w3.org/TR/html4/strict.dtd\">\n"
           "<html>\n"
           "  <head>\n"
           "    <meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\n"
           "    <title>Parvane missing libraries report</title>\n"
           "    <style type=\"text/css\">\n"
           "      body { font-family: Verdana, Tahoma, Arial, Serif; color: #202020; font-size: "
           "8pt; }\n"
           "      a:link { text-decoration: none; color: #6060f0; }\n"
           "      a:visited { text-decoration: none; color: #6060f0; }\n"
           "      a:hover { text-decoration: underline; color: #6060f0; }\n"
           "      td { font-weight: normal; font-size: 8pt; }\n"
           "      h1 { font-weight: bold; font-size: 20pt; }\n"
           "      h3 { font-weight: bold; font-size: 12pt; }\n"
           "      ul { color: #202020; }\n"
           "    </style>\n"
           "  </head>\n"
           "  <body>\n"
           "    <h2>Parvane missing libraries report</h2>\n"
           "    <p>While trying to install the course &quot;" +
           course +
           "&quot;,\n"
           "    the following required libraries were missing:</p>\n"
           "    <ul>\n" +
           items +
           "    </ul>\n"
           "    <p>You need to locate the above libraries and install them before the\n"
           "    course will be playable.</p>\n"
           "  </body>\n"
           "</html>\n";
}

std::string WithLineEnds(const std::string& text) {
    std::string converted;
    for (const char c : text)
        converted += c == '\n' ? std::string(REPORT_LINE_END) : std::string(1, c);
    return converted;
}

class MissingLibrariesReport : public ::testing::Test {
  protected:
    ~MissingLibrariesReport() override { SetReportFolder({}); }

    TestMachine machine;
    ScriptedUserInterface ui;
    const std::string folder = machine.ScratchFolder();
};

TEST_F(MissingLibrariesReport, PageIsTheTemplateWithTheNamesEscapedAndReplacesAnEarlierOne) {
    SetReportFolder(folder);
    ASSERT_EQ(WriteMissingLibrariesReport("Old", {"Old library"}),
              folder + "\\MissingLibraries.htm");

    const std::string path =
        WriteMissingLibrariesReport("Tom & Jerry's <Links>", {"Trees & \"Rocks\"", "<b>x</b>"});

    ASSERT_EQ(path, folder + "\\MissingLibraries.htm");
    EXPECT_EQ(machine.ReadFile(path),
              WithLineEnds(ExpectedPage("Tom &amp; Jerry's &lt;Links&gt;",
                                        "      <li>Trees &amp; &quot;Rocks&quot;</li>\n"
                                        "      <li>&lt;b&gt;x&lt;/b&gt;</li>\n")));
    EXPECT_EQ(MissingLibrariesReportText("Pine", {}), WithLineEnds(ExpectedPage("Pine", "")));
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
