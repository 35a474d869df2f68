#include "shell/Commands.h"

#include "properties/PropertiesDialog.h"
#include "shell/About.h"
#include "shell/Html.h"

namespace parvane {

namespace {
bool quitRequested = false;
}  // namespace

bool QuitRequested() {
    return quitRequested;
}

void RequestQuit() {
    quitRequested = true;
}

void DispatchCommand(int id) {
    switch (id) {
        case CMD_EXIT:
            RequestQuit();
            break;
        case CMD_PROPERTIES:
            ShowPropertiesDialog();
            break;
        case CMD_HELP_CONTENTS:
            ShowHelpContents();
            break;
        case CMD_ABOUT:
            ShowAboutDialog();
            break;
        default:
            break;
    }
}

}  // namespace parvane
