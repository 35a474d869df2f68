#pragma once

// The program's modal dialogs: each template id with the message shown when the dialog cannot
// be created. Start one with RunModalDialog(dialog, procedure).

#include <cstdint>

#include "base/Messages.h"
#include "platform/UserInterface.h"

namespace parvane {

struct ModalDialog {
    int templateId;
    const char* failureMessage;
};

inline constexpr ModalDialog TARGET_FOLDER_DIALOG = {
    103, "Couldn't display folder selection dialog box"};
inline constexpr ModalDialog ABOUT_DIALOG = {105, "Couldn't display 'About...' dialog box"};
inline constexpr ModalDialog PROGRAM_PROPERTIES_DIALOG = {
    106, "Couldn't display 'Properties...' dialog box"};
inline constexpr ModalDialog UNINSTALL_COURSE_DIALOG = {
    107, "Couldn't display 'Uninstall course...' dialog box"};
inline constexpr ModalDialog UNINSTALL_LIBRARY_DIALOG = {
    108, "Couldn't display 'Uninstall library...' dialog box"};
inline constexpr ModalDialog COURSE_PROPERTIES_DIALOG = {
    109, "Couldn't display 'Course properties...' dialog box"};
inline constexpr ModalDialog LIBRARY_PROPERTIES_DIALOG = {
    110, "Couldn't display 'Library properties...' dialog box"};
inline constexpr ModalDialog ANALYSIS_DIALOG = {111, "Couldn't display 'Analyze...' dialog box"};

inline std::intptr_t RunModalDialog(const ModalDialog& dialog, DialogProcedure& procedure) {
    return RunModalDialog(dialog.templateId, procedure, dialog.failureMessage);
}

}  // namespace parvane
