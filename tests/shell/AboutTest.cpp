#include <gtest/gtest.h>

#include <regex>

#include "shell/About.h"
#include "support/ScriptedUserInterface.h"

namespace parvane {
namespace {

TEST(About, BoxShowsNameVersionCreditsAndBuildAndClosesThroughOkOrEsc) {
    ScriptedUserInterface ui;
    ui.ExpectDialog(DIALOG_ABOUT, [](ScriptedDialog& dialog) {
        dialog.Init();
        // The build's date and time as the compiler gives them: "Dec  7 2026, 08:04:56".
        const std::regex fields(
            "\nParvane\nCourse and library installer for Greenvale 06\n1\\.0\\.d\n\n"
            "[^\n]+\n[^\n]+\nBuild: [A-Z][a-z]{2} [ 123][0-9] [0-9]{4}, "
            "[0-9]{2}:[0-9]{2}:[0-9]{2}\n");
        EXPECT_TRUE(std::regex_match(dialog.ItemText(ABOUT_TEXT_CONTROL), fields))
            << dialog.ItemText(ABOUT_TEXT_CONTROL);
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
