#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/Html.h"
#include "support/FaultInjectingMachine.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

using test::TestMachine;

constexpr const char* COMMAND_KEY = "htmlfile\\Shell\\Open\\Command";

// Records the commands run instead of starting anything, from a program in `programFolder`.
struct LaunchRecorder : test::FaultInjectingMachine {
    explicit LaunchRecorder(const std::string& programFolder) {
        SetModulePath(programFolder + "\\Parvane.exe");
        SetCommandResult(33);
    }
    std::vector<std::string> Commands() const { return CallPaths(test::MachineCall::RunCommand); }
};

class HtmlDocument : public testing::Test {
  protected:
    HtmlDocument() {
        ForgetHtmlHandler();
        machine.SetString(Hive::ClassesRoot, ".htm", "", "htmlfile");
        machine.SetString(Hive::ClassesRoot, COMMAND_KEY, "",
                          "\"C:\\Program Files\\Browser\\browse.exe\" -url \"%1\"");
    }
    ~HtmlDocument() override { ForgetHtmlHandler(); }

    // A program folder holding both documents.
    std::string ProgramFolderWithDocuments(const std::string& name) {
        const std::string folder = machine.ScratchFolder() + "\\" + name;
        machine.WriteFile(folder + "\\" + HELP_CONTENTS_DOCUMENT, "<html></html>");
        machine.WriteFile(folder + "\\MissingLibraries.htm", "<html></html>");
        return folder;
    }

    TestMachine machine;
    ScriptedUserInterface ui;
};

TEST_F(HtmlDocument, HelpBesideTheProgramAndADocumentByItsPathOpenWithBothPathsQuoted) {
    const std::string folder = ProgramFolderWithDocuments("Program Files\\Parvane");
    LaunchRecorder recorder(folder);
    EXPECT_TRUE(OpenHtmlDocument(HELP_CONTENTS_DOCUMENT));
    recorder.SetCommandResult(2);  // the handler did not start
    EXPECT_FALSE(OpenHtmlFile(folder + "\\MissingLibraries.htm"));
    const std::string browser = "\"C:\\Program Files\\Browser\\browse.exe\" \"";
    const std::vector<std::string> expected = {browser + folder + "\\Parvane.htm\"",
                                               browser + folder + "\\MissingLibraries.htm\""};
    EXPECT_EQ(recorder.Commands(), expected);
}

TEST_F(HtmlDocument, CommandTooLongToRunIsRefusedWithAMessage) {
    // A document path of 233 characters, which Windows still opens.
    const std::size_t scratch = machine.ScratchFolder().size();
    LaunchRecorder recorder(ProgramFolderWithDocuments(std::string(220 - scratch, 'p')));
    ui.ExpectError(Containing("the command that starts the web browser would be longer than 255"));
    EXPECT_FALSE(OpenHtmlDocument(HELP_CONTENTS_DOCUMENT));
    EXPECT_TRUE(recorder.Commands().empty());
}

}  // namespace
}  // namespace parvane
