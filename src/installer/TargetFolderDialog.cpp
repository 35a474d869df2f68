#include "installer/TargetFolderDialog.h"

#include <cstdint>

#include "base/Messages.h"
#include "base/ModalDialogs.h"
#include "base/PathText.h"
#include "installer/InstallRecord.h"
#include "platform/Machine.h"
#include "platform/UserInterface.h"

namespace parvane {

namespace {

bool IsWellFormed(const std::string& path) {
    if (path.empty()) {
        ShowError(
            "No target folder was given.\nType a full path, starting with a drive letter (such "
            "as C:\\), and try again.");
        return false;
    }
    if (!IsFullWindowsPath(path)) {
        ShowError(
            "The path '%s' is not a full path.\nType a full path, starting with a drive letter "
            "(such as C:\\), and try again.",
            path.c_str());
        return false;
    }
    if (path.size() > MAX_PATH_LENGTH) {
        ShowError("The path '%s' is longer than %d characters.\nChange the path and try again.",
                  path.c_str(), static_cast<int>(MAX_PATH_LENGTH));
        return false;
    }
    return true;
}

bool AcceptExistingFolder(const std::string& path) {
    if (GetInstallRecord().installType != INSTALL_TYPE_COURSE) {
        return true;
    }
    return AskYesNo(ANSWER_NO,
                    "The folder '%s' already exists!\nInstalling into this folder may cause "
                    "some files to be overwritten.\n\nDo you want to install into this folder "
                    "anyway?",
                    path.c_str()) == ANSWER_YES;
}

}  // namespace

bool TargetFolderProcedure::IsAcceptable(const std::string& path) const {
    if (!IsWellFormed(path)) {
        return false;
    }
    std::uint32_t attributes = 0;
    const Win32Error error = TheMachine().GetAttributes(path, attributes);
    if (error == ERR_FILE_NOT_FOUND || error == ERR_PATH_NOT_FOUND) {
        return true;
    }
    if (error != ERR_SUCCESS) {
        ShowError("The path '%s' cannot be used, error code=%d.\nChange the path and try again.",
                  path.c_str(), static_cast<int>(error));
        return false;
    }
    if ((attributes & ATTR_DIRECTORY) == 0) {
        ShowError("The path you typed is not a folder.\nChange the path and try again.");
        return false;
    }
    return AcceptExistingFolder(path);
}

void TargetFolderProcedure::OnInitDialog(DialogControls& controls) {
    controls.SetItemText(TARGET_FOLDER_EDIT, workingCopy);
}

void TargetFolderProcedure::OnCommand(int id, int notification, DialogControls& controls) {
    if (notification != NOTIFY_CLICKED) {
        return;
    }
    switch (id) {
        case TARGET_FOLDER_OK_BUTTON: {
            const std::string typed = NormalizeFolderText(controls.ItemText(TARGET_FOLDER_EDIT));
            if (IsAcceptable(typed)) {
                workingCopy = typed;
                controls.EndDialog(DIALOG_OK);
            }
            break;
        }
        case TARGET_FOLDER_CANCEL_BUTTON:
            controls.EndDialog(DIALOG_CANCEL);
            break;
        case TARGET_FOLDER_BROWSE_BUTTON: {
            std::string picked = controls.ItemText(TARGET_FOLDER_EDIT);
            if (TheUserInterface().BrowseForFolder(BROWSE_FOR_FOLDER_INSTRUCTION, picked)) {
                controls.SetItemText(TARGET_FOLDER_EDIT, picked);
            }
            break;
        }
        case TARGET_FOLDER_UNDO_BUTTON:
            controls.SetItemText(TARGET_FOLDER_EDIT, workingCopy);
            break;
        default:
            break;
    }
}

bool TargetFolderDialog(std::string& folder) {
    TargetFolderProcedure procedure(folder);
    if (RunModalDialog(TARGET_FOLDER_DIALOG, procedure) != DIALOG_OK) {
        return false;
    }
    folder = procedure.Folder();
    return true;
}

}  // namespace parvane
