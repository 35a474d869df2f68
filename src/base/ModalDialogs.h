#pragma once

// The program's modal dialogs: each template (platform/ResourceIds.h) with the message shown
// when the dialog cannot be created. Start one with RunModalDialog(dialog, procedure).

#include <cstdint>

#include "base/Messages.h"
#include "platform/ResourceIds.h"
#include "platform/UserInterface.h"

namespace parvane {

struct ModalDialog {
    int templateId;
    const char* failureMessage;
};

inline constexpr ModalDialog TARGET_FOLDER_DIALOG = {
    DIALOG_TARGET_FOLDER, "Couldn't display folder selection dialog box"};
inline constexpr ModalDialog ABOUT_DIALOG = {DIALOG_ABOUT,
                                             "Couldn't display 'About...' dialog box"};
inline constexpr ModalDialog PROGRAM_PROPERTIES_DIALOG = {
    DIALOG_PROGRAM_PROPERTIES, "Couldn't display 'Properties...' dialog box"};
inline constexpr ModalDialog UNINSTALL_COURSE_DIALOG = {
    DIALOG_UNINSTALL_COURSE, "Couldn't display 'Uninstall course...' dialog box"};
inline constexpr ModalDialog UNINSTALL_LIBRARY_DIALOG = {
    DIALOG_UNINSTALL_LIBRARY, "Couldn't display 'Uninstall library...' dialog box"};
inline constexpr ModalDialog COURSE_PROPERTIES_DIALOG = {
    DIALOG_COURSE_PROPERTIES, "Couldn't display 'Course properties...' dialog box"};
inline constexpr ModalDialog LIBRARY_PROPERTIES_DIALOG = {
    DIALOG_LIBRARY_PROPERTIES, "Couldn't display 'Library properties...' dialog box"};
inline constexpr ModalDialog ANALYSIS_DIALOG = {DIALOG_ANALYSIS,
                                                "Couldn't display 'Analyze...' dialog box"};

inline std::intptr_t RunModalDialog(const ModalDialog& dialog, DialogProcedure& procedure) {
    return RunModalDialog(dialog.templateId, procedure, dialog.failureMessage);
}

}  // namespace parvane
