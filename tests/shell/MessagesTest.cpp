#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Messages.h"
#include "base/ModalDialogs.h"
#include "support/ScriptedUserInterface.h"

namespace parvane {
namespace {

TEST(MessageBoxes, OkKindsCarryTheirCaptionAndIconAndFormatTheWholeText) {
    const std::string path(5000, 'p');
    ScriptedUserInterface ui;
    ui.ExpectInformation("3 files in 'C:\\x'");
    ui.ExpectError("RegOpenKeyEx returned 2");
    ui.ExpectWarning("disk full", 0);  // the box cannot be shown
    ui.ExpectError("Couldn't open '" + path + "'");

    EXPECT_EQ(ShowInformation("%d files in '%s'", 3, "C:\\x"), 1);
    EXPECT_EQ(ShowError("RegOpenKeyEx returned %ld", 2L), 1);
    EXPECT_EQ(ShowWarning("%s", "disk full"), 0);
    EXPECT_EQ(ShowError("Couldn't open '%s'", path.c_str()), 1);
}

TEST(MessageBoxes, QuestionHasYesAsDefaultOnlyForTheYesArgument) {
    ScriptedUserInterface ui;
    ui.ExpectYesNo(DefaultButton::Yes, "Proceed?", ANSWER_NO);
    ui.ExpectYesNo(DefaultButton::No, "Proceed?", ANSWER_YES);
    ui.ExpectYesNoCancel(DefaultButton::No, "Overwrite?", ANSWER_CANCEL);
    ui.ExpectYesNoCancel(DefaultButton::Yes, "Overwrite?", ANSWER_YES);
    // The scripted kinds are built from names; pin them to the Win32 numbers once.
    ui.ExpectYesNo(DefaultButton::No, "a", ANSWER_YES);
    ui.ExpectYesNoCancel(DefaultButton::Yes, "b", ANSWER_YES);

    EXPECT_EQ(AskYesNo(ANSWER_YES, "Proceed?"), ANSWER_NO);
    EXPECT_EQ(AskYesNo(ANSWER_NO, "Proceed?"), ANSWER_YES);
    EXPECT_EQ(AskYesNoCancel(0, "Overwrite?"), ANSWER_CANCEL);
    EXPECT_EQ(AskYesNoCancel(ANSWER_YES, "Overwrite?"), ANSWER_YES);
    EXPECT_EQ(TheUserInterface().ShowMessageBox("a", "Question", 0x2124), ANSWER_YES);
    EXPECT_EQ(TheUserInterface().ShowMessageBox("b", "Question", 0x2023), ANSWER_YES);
}

class NeverCreated : public DialogProcedure {
  public:
    void OnInitDialog(DialogControls&) override { ADD_FAILURE() << "initialised"; }
    void OnCommand(int, int, DialogControls&) override { ADD_FAILURE() << "command"; }
};

TEST(ModalDialog, DialogThatCannotBeCreatedShowsItsFailureMessage) {
    ScriptedUserInterface ui;
    ui.ExpectDialogCreationFailure(107);
    ui.ExpectError("Couldn't display 'Uninstall course...' dialog box");
    NeverCreated procedure;
    EXPECT_EQ(RunModalDialog(UNINSTALL_COURSE_DIALOG, procedure), -1);
}

// Runs `run`, expecting the scripted interface to report exactly `expected` (parts of each
// failure's text, in order) instead of failing this test.
template <typename Run>
void ExpectFailures(Run run, const std::vector<std::string>& expected) {
    testing::TestPartResultArray failures;
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        run();
    }
    ASSERT_EQ(failures.size(), static_cast<int>(expected.size()));
    for (int i = 0; i < failures.size(); ++i) {
        EXPECT_PRED_FORMAT2(testing::IsSubstring, expected[static_cast<std::size_t>(i)],
                            failures.GetTestPartResult(i).message());
    }
}

TEST(ScriptedUserInterface, WhatWasNotExpectedNextAndWhatNeverCameFail) {
    ExpectFailures(
        [] {
            ScriptedUserInterface ui;
            ui.ExpectError("expected text");
            ShowError("actual text");
        },
        {"unexpected Error box (0x2010) \"actual text\"\n"
         "  expected next: Error box (0x2010) \"expected text\"",
         "never came: Error box (0x2010) \"expected text\""});
    ExpectFailures(
        [] {
            ScriptedUserInterface ui;
            ShowInformation("surprise");
        },
        {"unexpected Information box (0x2040) \"surprise\""});
    ExpectFailures(
        [] {
            NeverCreated procedure;  // the script below never initialises it
            ScriptedUserInterface ui;
            ui.ExpectDialog(106, [](ScriptedDialog&) {});
            TheUserInterface().RunDialog(106, procedure);
        },
        {"dialog 106 was still open"});
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

}  // namespace
}  // namespace parvane
