#include <gtest/gtest.h>

#include <string>

#include "base/Messages.h"
#include "support/ScriptedUserInterface.h"

namespace parvane {
namespace {

TEST(MessageBoxes, OkKindsCarryTheirCaptionAndIconAndFormatTheWholeText) {
    const std::string path(5000, 'p');
    ScriptedUserInterface ui;
    ui.ExpectInformation("3 files in 'C:\\x'");
    ui.ExpectWarning("disk full", 0);  // the box cannot be shown
    ui.ExpectError("Couldn't open '" + path + "'");

    EXPECT_EQ(ShowInformation("%d files in '%s'", 3, "C:\\x"), 1);
    EXPECT_EQ(ShowWarning("%s", "disk full"), 0);
    EXPECT_EQ(ShowError("Couldn't open '%s'", path.c_str()), 1);
}

TEST(MessageBoxes, QuestionHasYesAsDefaultOnlyForTheYesArgument) {
    ScriptedUserInterface ui;
    ui.ExpectYesNo(DefaultButton::Yes, "Proceed?", ANSWER_NO);
    ui.ExpectYesNoCancel(DefaultButton::No, "Overwrite?", ANSWER_CANCEL);
    // The scripted kinds are built from names; pin them to the Win32 numbers once.
    ui.ExpectYesNo(DefaultButton::No, "a", ANSWER_YES);
    ui.ExpectYesNoCancel(DefaultButton::Yes, "b", ANSWER_YES);

    EXPECT_EQ(AskYesNo(ANSWER_YES, "Proceed?"), ANSWER_NO);
    EXPECT_EQ(AskYesNoCancel(0, "Overwrite?"), ANSWER_CANCEL);
    EXPECT_EQ(TheUserInterface().ShowMessageBox("a", "Question", 0x2124), ANSWER_YES);
    EXPECT_EQ(TheUserInterface().ShowMessageBox("b", "Question", 0x2023), ANSWER_YES);
}

}  // namespace
}  // namespace parvane
