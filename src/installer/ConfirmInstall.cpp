#include "installer/ConfirmInstall.h"

#include "base/Messages.h"
#include "installer/InstallRecord.h"

namespace parvane {

bool ConfirmInstall() {
    const InstallRecord record = GetInstallRecord();
    const char* type = record.installType == INSTALL_TYPE_COURSE ? "Course" : "Library";
    return AskYesNo(ANSWER_YES,
                    "Parvane has collected all information needed to\nproceed with this "
                    "installation.\n\nInstall type: %s\nTarget path: %s\n\nOk to proceed with "
                    "the installation?",
                    type, record.targetFolder.c_str()) == ANSWER_YES;
}

}  // namespace parvane
