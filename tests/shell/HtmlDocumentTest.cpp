#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/Html.h"
#include "support/FaultInjectingMachine.h"
#include "support/ProcessStateResets.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

// The browser's command as the registry gives it; commands are recorded instead of run, from
// a program folder holding both documents.
class HtmlDocument : public testing::Test {
  protected:
    HtmlDocument() {
        ForgetHtmlHandler();
        machine.SetString(Hive::ClassesRoot, ".htm", "", "htmlfile");
        machine.SetString(Hive::ClassesRoot, "htmlfile\\Shell\\Open\\Command", "",
                          "\"C:\\Program Files\\Browser\\browse.exe\" -url \"%1\"");
        faults.SetCommandResult(33);
    }
    ~HtmlDocument() override { ForgetHtmlHandler(); }

    std::string ProgramFolder(const std::string& name) {
        const std::string folder = machine.ScratchFolder() + "\\" + name;
        machine.WriteFile(folder + "\\" + HELP_CONTENTS_DOCUMENT, "<html></html>");
        machine.WriteFile(folder + "\\MissingLibraries.htm", "<html></html>");
        faults.SetModulePath(folder + "\\Parvane.exe");
        return folder;
    }

    test::TestMachine machine;
    test::FaultInjectingMachine faults;
    ScriptedUserInterface ui;
};

TEST_F(HtmlDocument, HelpBesideTheProgramAndADocumentByItsPathOpenWithBothPathsQuoted) {
    const std::string folder = ProgramFolder("Program Files\\Parvane");
    EXPECT_TRUE(OpenHtmlDocument(HELP_CONTENTS_DOCUMENT));
    faults.SetCommandResult(2);  // the handler did not start
    EXPECT_FALSE(OpenHtmlFile(folder + "\\MissingLibraries.htm"));
    const std::string browser = "\"C:\\Program Files\\Browser\\browse.exe\" \"";
    EXPECT_EQ(faults.CallPaths(test::MachineCall::RunCommand),
              (std::vector<std::string>{browser + folder + "\\Parvane.htm\"",
                                        browser + folder + "\\MissingLibraries.htm\""}));
}

TEST_F(HtmlDocument, HelpPageThatDoesNotComeUpIsExplained) {
    const std::string page = ProgramFolder("Parvane") + "\\Parvane.htm";
    faults.SetCommandResult(2);
    ui.ExpectError("Couldn't open the help page '" + page +
                   "': the web browser 'C:\\Program Files\\Browser\\browse.exe' did not start.");
    ShowHelpContents();
    ForgetHtmlHandler();
    machine.SetString(Hive::ClassesRoot, ".htm", "", "");
    ui.ExpectError(Containing("Parvane.htm': no program is registered to open web pages"));
    ShowHelpContents();
}

TEST_F(HtmlDocument, CommandTooLongToRunIsRefusedWithAMessage) {
    // A document path of 233 characters, which Windows still opens.
    ProgramFolder(std::string(220 - machine.ScratchFolder().size(), 'p'));
    ui.ExpectError(Containing("the command that starts the web browser would be longer than 255"));
    EXPECT_FALSE(OpenHtmlDocument(HELP_CONTENTS_DOCUMENT));
    EXPECT_EQ(faults.CallCount(test::MachineCall::RunCommand), 0u);
}

}  // namespace
}  // namespace parvane
