#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/Messages.h"
#include "shell/ModalDialogs.h"
#include "support/ScriptedUserInterface.h"

namespace parvane {
namespace {

TEST(MessageBoxes, OkKindsCarryTheirCaptionAndIconAndFormatTheText) {
    ScriptedUserInterface ui;
    ui.ExpectInformation("3 files in 'C:\\x'");
    ui.ExpectError("RegOpenKeyEx returned 2");
    ui.ExpectWarning("disk full", 0);  // the box cannot be shown

    EXPECT_EQ(ShowInformation("%d files in '%s'", 3, "C:\\x"), 1);
    EXPECT_EQ(ShowError("RegOpenKeyEx returned %ld", 2L), 1);
    EXPECT_EQ(ShowWarning("%s", "disk full"), 0);
}

TEST(MessageBoxes, QuestionHasYesAsDefaultOnlyForTheYesArgument) {
    ScriptedUserInterface ui;
    ui.ExpectYesNo(DefaultButton::Yes, "Proceed?", ANSWER_NO);
    ui.ExpectYesNo(DefaultButton::No, "Proceed?", ANSWER_YES);
    ui.ExpectYesNoCancel(DefaultButton::No, "Overwrite?", ANSWER_CANCEL);
    ui.ExpectYesNoCancel(DefaultButton::Yes, "Overwrite?", ANSWER_YES);

    EXPECT_EQ(AskYesNo(ANSWER_YES, "Proceed?"), ANSWER_NO);
    EXPECT_EQ(AskYesNo(ANSWER_NO, "Proceed?"), ANSWER_YES);
    EXPECT_EQ(AskYesNoCancel(0, "Overwrite?"), ANSWER_CANCEL);
    EXPECT_EQ(AskYesNoCancel(ANSWER_YES, "Overwrite?"), ANSWER_YES);
}

TEST(MessageBoxes, QuestionFlagsAreTheWin32Numbers) {
    ScriptedUserInterface ui;
    // The scripted kinds are built from names; pin them to the numbers once.
    ui.ExpectYesNo(DefaultButton::No, "a", ANSWER_YES);
    ui.ExpectYesNoCancel(DefaultButton::Yes, "b", ANSWER_YES);
    EXPECT_EQ(TheUserInterface().ShowMessageBox("a", "Question", 0x2124), ANSWER_YES);
    EXPECT_EQ(TheUserInterface().ShowMessageBox("b", "Question", 0x2023), ANSWER_YES);
}

TEST(MessageBoxes, LongTextIsShownWhole) {
    const std::string path(5000, 'p');
    ScriptedUserInterface ui;
    ui.ExpectError("Couldn't open '" + path + "'");
    EXPECT_EQ(ShowError("Couldn't open '%s'", path.c_str()), 1);
}

class NeverCreated : public DialogProcedure {
  public:
    void OnInitDialog(DialogControls&) override { ADD_FAILURE() << "initialised"; }
    void OnCommand(int, DialogControls&) override { ADD_FAILURE() << "command"; }
};

TEST(ModalDialog, DialogThatCannotBeCreatedShowsItsFailureMessage) {
    ScriptedUserInterface ui;
    ui.ExpectDialogCreationFailure(107);
    ui.ExpectError("Couldn't display 'Uninstall course...' dialog box");
    NeverCreated procedure;
    EXPECT_EQ(RunModalDialog(UNINSTALL_COURSE_DIALOG, procedure), -1);
}

// The failures the scripted interface reports while `run` runs, instead of failing this test.
template <typename Run>
std::vector<std::string> FailuresOf(Run run) {
    testing::TestPartResultArray failures;
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        run();
    }
    std::vector<std::string> messages;
    for (int i = 0; i < failures.size(); ++i) {
        messages.push_back(failures.GetTestPartResult(i).message());
    }
    return messages;
}

TEST(ScriptedUserInterface, WrongBoxFailsShowingBothTextsAndTheExpectedOneIsMissing) {
    const auto failures = FailuresOf([] {
        ScriptedUserInterface ui;
        ui.ExpectError("expected text");
        ShowError("actual text");
    });
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_PRED_FORMAT2(testing::IsSubstring, "unexpected Error box (0x2010) \"actual text\"",
                        failures[0]);
    EXPECT_PRED_FORMAT2(testing::IsSubstring, "expected next: Error box (0x2010) \"expected text\"",
                        failures[0]);
    EXPECT_PRED_FORMAT2(testing::IsSubstring, "never came: Error box (0x2010) \"expected text\"",
                        failures[1]);
}

TEST(ScriptedUserInterface, BoxWhenNothingIsExpectedFails) {
    const auto failures = FailuresOf([] {
        ScriptedUserInterface ui;
        ShowInformation("surprise");
    });
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_PRED_FORMAT2(testing::IsSubstring, "unexpected Information box (0x2040) \"surprise\"",
                        failures[0]);
}

TEST(ScriptedUserInterface, PartOfTheTextMatches) {
    ScriptedUserInterface ui;
    ui.ExpectWarning(Containing("disk"));
    EXPECT_EQ(ShowWarning("The disk is full."), 1);
}

TEST(ScriptedUserInterface, CommonDialogsAreAnsweredInTheirTurn) {
    ScriptedUserInterface ui;
    ui.ExpectOpenFile("C:\\in\\a.zip");
    ui.ExpectBrowseForFolderCancelled();
    ui.ExpectOpenFileFailure(0x3003);

    OpenFileRequest request;
    request.title = "Open";
    std::string selection;
    std::uint32_t dialogError = 1;
    EXPECT_TRUE(TheUserInterface().OpenFile(request, selection, dialogError));
    EXPECT_EQ(selection, "C:\\in\\a.zip");
    EXPECT_EQ(ui.LastOpenFileRequest().title, "Open");
    std::string folder;
    EXPECT_FALSE(TheUserInterface().BrowseForFolder("Choose", folder));
    EXPECT_FALSE(TheUserInterface().OpenFile(request, selection, dialogError));
    EXPECT_EQ(dialogError, 0x3003u);
}

TEST(ScriptedUserInterface, DialogLeftOpenByItsScriptFails) {
    class Inert : public DialogProcedure {
      public:
        void OnInitDialog(DialogControls&) override {}
        void OnCommand(int, DialogControls&) override {}
    } procedure;
    const auto failures = FailuresOf([&] {
        ScriptedUserInterface ui;
        ui.ExpectDialog(106, [](ScriptedDialog& dialog) { dialog.Init(); });
        TheUserInterface().RunDialog(106, procedure);
    });
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_PRED_FORMAT2(testing::IsSubstring, "dialog 106 was still open", failures[0]);
}

}  // namespace
}  // namespace parvane
