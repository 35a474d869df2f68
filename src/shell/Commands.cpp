#include "shell/Commands.h"

#include "analysis/AnalysisDialog.h"
#include "properties/PropertiesDialog.h"
#include "shell/About.h"
#include "shell/Html.h"
#include "shell/InstallRun.h"
#include "uninstall/UninstallDialogs.h"

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

bool DispatchCommand(int id) {
    switch (id) {
        case CMD_OPEN_ARCHIVE:
            return !InstallQueuedArchives().endsProgram;
        case CMD_UNINSTALL_COURSE:
            ShowUninstallCourseDialog();
            break;
        case CMD_UNINSTALL_LIBRARY:
            ShowUninstallLibraryDialog();
            break;
        case CMD_EXIT:
            RequestQuit();
            break;
        case CMD_ANALYZE:
            ShowAnalysisDialog();
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
    return true;
}

}  // namespace parvane
