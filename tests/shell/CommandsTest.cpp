// The main window's command dispatch: each command shows what it names.

#include <gtest/gtest.h>

#include "analysis/AnalysisDialog.h"
#include "base/ModalDialogs.h"
#include "properties/Properties.h"
#include "properties/PropertiesDialog.h"
#include "shell/About.h"
#include "shell/Commands.h"
#include "support/FaultInjectingMachine.h"
#include "support/ProcessStateResets.h"
#include "uninstall/InstalledContent.h"
#include "uninstall/UninstallDialogs.h"

namespace parvane::test {
namespace {

class CommandDispatch : public InstalledContentTest {
  protected:
    CommandDispatch() { faults.SetModulePath(machine.ScratchFolder() + "\\Parvane.exe"); }
    ~CommandDispatch() override { ResetProperties(); }

    // The dialog comes, `control` (a text or a list) shows `part`, and Esc closes it.
    void ExpectShown(const ModalDialog& dialog, int control, const std::string& part) {
        ui.ExpectDialog(dialog.templateId, [control, part](ScriptedDialog& shown) {
            shown.Init();
            std::string text = shown.ItemText(control);
            for (const std::string& line : shown.ListLines(control))
                text += line + "\n";
            EXPECT_NE(text.find(part), std::string::npos) << part << " in\n" << text;
            shown.Press(DIALOG_ESCAPE);
        });
    }

    FaultInjectingMachine faults;
};

TEST_F(CommandDispatch, EachCommandShowsItsWindowOrDocumentAndExitQuits) {
    AddCourse(Folder("Pine"), "Pine", "Pine Valley", {7});
    AddLibrary(Folder("Trees"), 7);
    Load();
    SetProperty(PROPERTY_TARGET_FOLDER, "C:\\Courses");
    ExpectShown(UNINSTALL_COURSE_DIALOG, COURSE_LIST, "Pine Valley");
    ExpectShown(UNINSTALL_LIBRARY_DIALOG, LIBRARY_LIST, "Lib 7\t(1)");
    ExpectShown(ANALYSIS_DIALOG, ANALYSIS_REPORT_TEXT, "did not find any problems");
    ExpectShown(PROGRAM_PROPERTIES_DIALOG, PROPERTIES_TARGET_FOLDER_FIELD, "C:\\Courses");
    ExpectShown(ABOUT_DIALOG, ABOUT_TEXT_CONTROL, "Parvane");
    // The help page is not beside this program: the attempt to open it says so.
    ui.ExpectError(Containing("Parvane.htm': there is no such file."));
    for (const int id : {CMD_UNINSTALL_COURSE, CMD_UNINSTALL_LIBRARY, CMD_ANALYZE, CMD_PROPERTIES,
                         CMD_ABOUT, CMD_HELP_CONTENTS}) {
        DispatchCommand(id);
    }
    EXPECT_FALSE(QuitRequested());
    DispatchCommand(CMD_EXIT);
    EXPECT_TRUE(QuitRequested());
}

}  // namespace
}  // namespace parvane::test
