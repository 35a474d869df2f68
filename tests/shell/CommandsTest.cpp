// The main window's command dispatch: each command reaches what it runs.

#include <gtest/gtest.h>

#include "properties/Properties.h"
#include "shell/About.h"
#include "shell/Commands.h"
#include "support/FaultInjectingMachine.h"
#include "support/ProcessStateResets.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

class CommandDispatch : public testing::Test {
  protected:
    CommandDispatch() { faults.SetModulePath(machine.ScratchFolder() + "\\Parvane.exe"); }
    ~CommandDispatch() override { ResetProperties(); }

    test::TestMachine machine;
    test::FaultInjectingMachine faults;
    ScriptedUserInterface ui;
};

TEST_F(CommandDispatch, EachCommandRunsItsDialogOrDocumentAndExitQuits) {
    for (const int templateId : {107, 108, 111}) {
        ui.ExpectDialog(templateId, [](ScriptedDialog& dialog) {
            dialog.Init();
            dialog.Press(8);  // Close
        });
    }
    ui.ExpectDialog(106, [](ScriptedDialog& dialog) {
        dialog.Init();
        dialog.Press(2);
    });
    ui.ExpectDialog(105, [](ScriptedDialog& dialog) {
        dialog.Init();
        dialog.Press(ABOUT_OK_BUTTON);
    });
    // The help page is not beside this program: the attempt to open it says so.
    ui.ExpectError(Containing("Parvane.htm': there is no such file."));
    for (const int id :
         {CMD_UNINSTALL_COURSE, CMD_UNINSTALL_LIBRARY, CMD_ANALYZE, CMD_PROPERTIES}) {
        DispatchCommand(id);
    }
    DispatchCommand(CMD_ABOUT);
    DispatchCommand(CMD_HELP_CONTENTS);
    EXPECT_FALSE(QuitRequested());
    DispatchCommand(CMD_EXIT);
    EXPECT_TRUE(QuitRequested());
}

}  // namespace
}  // namespace parvane
