#include "shell/About.h"

#include "base/ModalDialogs.h"

namespace parvane {

namespace {

constexpr const char* PROGRAM_NAME = "Parvane";
constexpr const char* PROGRAM_DESCRIPTION = "Course and library installer for Greenvale 06";
constexpr const char* VERSION_MAJOR_MINOR = "1.0";
constexpr const char* VERSION_RELEASE = "d";
constexpr const char* CREDIT_LINE_1 = "Written for the players and designers of Greenvale 06.";
constexpr const char* CREDIT_LINE_2 = "Courses and libraries remain the work of their authors.";

}  // namespace

std::string AboutText() {
    // "\n%s\n%s\n%s.%s%s%s\n\n%s\n%s\nBuild: %s, %s\n"; the two texts after the release letter
    // are empty in this version.
    return std::string("\n") + PROGRAM_NAME + "\n" + PROGRAM_DESCRIPTION + "\n" +
           VERSION_MAJOR_MINOR + "." + VERSION_RELEASE + "\n\n" + CREDIT_LINE_1 + "\n" +
           CREDIT_LINE_2 + "\nBuild: " + __DATE__ + ", " + __TIME__ + "\n";
}

void AboutDialog::OnInitDialog(DialogControls& controls) {
    controls.SetItemText(ABOUT_TEXT_CONTROL, AboutText());
}

void AboutDialog::OnCommand(int id, int, DialogControls& controls) {
    if (id == ABOUT_OK_BUTTON || id == DIALOG_ESCAPE) {
        controls.EndDialog(0);
    }
}

void ShowAboutDialog() {
    AboutDialog procedure;
    RunModalDialog(ABOUT_DIALOG, procedure);
}

}  // namespace parvane
