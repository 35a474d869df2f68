#include <gtest/gtest.h>

#include "shell/About.h"
#include "support/ScriptedUserInterface.h"

namespace parvane {
namespace {

TEST(About, DialogShowsTheTextAndClosesThroughOkOrEsc) {
    ScriptedUserInterface ui;
    ui.ExpectDialog(DIALOG_ABOUT, [](ScriptedDialog& dialog) {
        dialog.Init();
        EXPECT_EQ(dialog.ItemText(ABOUT_TEXT_CONTROL), AboutText());
        dialog.Press(COMMAND_OK);  // a command from elsewhere than the OK button
        EXPECT_FALSE(dialog.HasEnded());
        dialog.Press(ABOUT_OK_BUTTON);
        EXPECT_TRUE(dialog.HasEnded());
        EXPECT_EQ(dialog.Result(), 0);
    });
    ui.ExpectDialog(DIALOG_ABOUT, [](ScriptedDialog& dialog) {
        dialog.Init();
        dialog.Press(DIALOG_ESCAPE);
        EXPECT_TRUE(dialog.HasEnded());
    });
    ShowAboutDialog();
    ShowAboutDialog();
}

}  // namespace
}  // namespace parvane
