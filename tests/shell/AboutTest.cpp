#include <gtest/gtest.h>

#include <regex>

#include "shell/About.h"
#include "support/ScriptedUserInterface.h"

namespace parvane {
namespace {

TEST(About, TextNamesProgramVersionAndBuildTime) {
    const std::regex layout(
        "\nParvane\nCourse and library installer for Greenvale 06\n1\\.0\\.d\n\n"
        "[^\n]+\n[^\n]+\n"
        "Build: [A-Z][a-z]{2} [ 0-9][0-9] [0-9]{4}, [0-9]{2}:[0-9]{2}:[0-9]{2}\n");
    EXPECT_TRUE(std::regex_match(AboutText(), layout)) << AboutText();
}

TEST(About, DialogShowsTheTextAndClosesOnlyThroughOk) {
    ScriptedUserInterface ui;
    ui.ExpectDialog(105, [](ScriptedDialog& dialog) {
        dialog.Init();
        EXPECT_EQ(dialog.ItemText(ABOUT_TEXT_CONTROL), AboutText());
        dialog.Press(2);  // Esc
        dialog.Press(1);  // a command from elsewhere than the OK button
        EXPECT_FALSE(dialog.HasEnded());
        dialog.Press(ABOUT_OK_BUTTON);
        EXPECT_TRUE(dialog.HasEnded());
        EXPECT_EQ(dialog.Result(), 0);
    });
    ShowAboutDialog();
}

}  // namespace
}  // namespace parvane
