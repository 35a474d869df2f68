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

    TestMachine machine;
    ScriptedUserInterface ui;
};

TEST(HtmlHandler, PathIsTheQuotedPartOrTheFirstWordOfTheCommand) {
    const struct {
        const char* command;
        const char* path;
    } cases[] = {
        {"\"C:\\Program Files\\Web Browser\\browse.exe\" -url \"%1\"",
         "C:\\Program Files\\Web Browser\\browse.exe"},
        {"\"C:\\Program Files\\browse.exe -url %1", ""},  // no closing quote
        {"C:\\Windows\\browse.exe -nohome %1", "C:\\Windows\\browse.exe"},
        {"C:\\Windows\\browse.exe", "C:\\Windows\\browse.exe"},
    };
    for (const auto& item : cases) {
        EXPECT_EQ(HandlerPathOfCommand(item.command), item.path) << item.command;
    }
}

TEST_F(HtmlDocument, HandlerFoundOnceIsNotLookedUpAgain) {
    EXPECT_EQ(FindHtmlHandler(), "C:\\Program Files\\Browser\\browse.exe");
    machine.SetString(Hive::ClassesRoot, COMMAND_KEY, "", "C:\\Other\\other.exe %1");
    EXPECT_EQ(FindHtmlHandler(), "C:\\Program Files\\Browser\\browse.exe");
    ForgetHtmlHandler();
    EXPECT_EQ(FindHtmlHandler(), "C:\\Other\\other.exe");
}

TEST_F(HtmlDocument, HelpOpensTheDocumentBesideTheProgramWithBothPathsQuoted) {
    LaunchRecorder recorder("C:\\Program Files\\Parvane");
    EXPECT_TRUE(OpenHtmlDocument(HELP_CONTENTS_DOCUMENT));
    recorder.SetCommandResult(2);  // the handler did not start
    EXPECT_FALSE(OpenHtmlDocument(MISSING_LIBRARIES_DOCUMENT));
    const std::vector<std::string> expected = {
        "\"C:\\Program Files\\Browser\\browse.exe\" \"C:\\Program Files\\Parvane\\Parvane.htm\"",
        "\"C:\\Program Files\\Browser\\browse.exe\" "
        "\"C:\\Program Files\\Parvane\\MissingLibraries.htm\""};
    EXPECT_EQ(recorder.Commands(), expected);
}

TEST_F(HtmlDocument, NothingStartsWithoutAHandler) {
    machine.SetString(Hive::ClassesRoot, ".htm", "", "nosuchtype");
    LaunchRecorder recorder("C:\\Parvane");
    EXPECT_FALSE(OpenHtmlDocument(HELP_CONTENTS_DOCUMENT));
    EXPECT_TRUE(recorder.Commands().empty());
}

TEST_F(HtmlDocument, CommandTooLongToRunIsRefusedWithAMessage) {
    const std::string folder = "C:\\" + std::string(220, 'p');
    LaunchRecorder recorder(folder);
    ui.ExpectError(Containing("the command that starts the web browser would be longer than 255"));
    EXPECT_FALSE(OpenHtmlDocument(HELP_CONTENTS_DOCUMENT));
    EXPECT_TRUE(recorder.Commands().empty());
}

}  // namespace
}  // namespace parvane
