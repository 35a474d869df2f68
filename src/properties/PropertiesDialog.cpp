#include "properties/PropertiesDialog.h"

#include <string>

#include "base/Messages.h"
#include "base/ModalDialogs.h"
#include "platform/UserInterface.h"
#include "properties/Properties.h"

namespace parvane {

namespace {

struct PropertyControl {
    int id;
    const char* key;
};

// In the order in which they are stored.
constexpr PropertyControl CHECK_BOXES[] = {
    {PROPERTIES_WARN_ON_OVERWRITE_FILE_CHECK, PROPERTY_WARN_ON_OVERWRITE_FILE},
    {PROPERTIES_WARN_ON_CLOAKED_LIBRARIES_CHECK, PROPERTY_WARN_ON_CLOAKED_LIBRARIES},
    {PROPERTIES_SAVE_PROPERTIES_ON_EXIT_CHECK, PROPERTY_SAVE_PROPERTIES_ON_EXIT},
    {PROPERTIES_ASK_FOR_TARGET_FOLDER_CHECK, PROPERTY_ASK_FOR_TARGET_FOLDER},
    {PROPERTIES_ASK_FOR_INSTALL_PROCEED_CHECK, PROPERTY_ASK_FOR_INSTALL_PROCEED},
    {PROPERTIES_REMEMBER_OPEN_ARCHIVE_FOLDER_CHECK, PROPERTY_REMEMBER_OPEN_ARCHIVE_FOLDER},
    {PROPERTIES_USE_DEFAULT_LIBRARY_FOLDER_CHECK, PROPERTY_USE_DEFAULT_LIBRARY_FOLDER},
    {PROPERTIES_ASK_FOR_FLAG_CHECK, PROPERTY_ASK_FOR_FLAG},
};

constexpr PropertyControl FOLDER_FIELDS[] = {
    {PROPERTIES_TARGET_FOLDER_FIELD, PROPERTY_TARGET_FOLDER},
    {PROPERTIES_LIBRARY_FOLDER_FIELD, PROPERTY_LIBRARY_FOLDER},
    {PROPERTIES_OPEN_ARCHIVE_FOLDER_FIELD, PROPERTY_OPEN_ARCHIVE_FOLDER},
    {PROPERTIES_FLAG_FOLDER_FIELD, PROPERTY_ASK_FOR_FLAG_FOLDER},
};

struct BrowseButton {
    int id;
    int fieldId;
};

constexpr BrowseButton BROWSE_BUTTONS[] = {
    {PROPERTIES_BROWSE_TARGET_FOLDER, PROPERTIES_TARGET_FOLDER_FIELD},
    {PROPERTIES_BROWSE_OPEN_ARCHIVE_FOLDER, PROPERTIES_OPEN_ARCHIVE_FOLDER_FIELD},
    {PROPERTIES_BROWSE_FLAG_FOLDER, PROPERTIES_FLAG_FOLDER_FIELD},
    {PROPERTIES_BROWSE_LIBRARY_FOLDER, PROPERTIES_LIBRARY_FOLDER_FIELD},
};

// Every field fits its property, so that storing sets all twelve or none.
bool FoldersFitProperties(DialogControls& dialog) {
    for (const PropertyControl& field : FOLDER_FIELDS) {
        const std::string folder = dialog.ItemText(field.id);
        if (folder.size() > MAX_PROPERTY_VALUE_LENGTH) {
            ShowError(
                "The folder '%s' is too long: a folder of the program properties holds at "
                "most %d characters.\nShorten it and press OK again.",
                folder.c_str(), static_cast<int>(MAX_PROPERTY_VALUE_LENGTH));
            return false;
        }
    }
    return true;
}

}  // namespace

void FillPropertiesDialog(DialogControls& dialog) {
    for (const PropertyControl& box : CHECK_BOXES) {
        dialog.CheckItem(box.id, GetPropertyNumber(box.key) >= 1);
    }
    for (const PropertyControl& field : FOLDER_FIELDS) {
        dialog.SetItemText(field.id, GetProperty(field.key));
    }
}

bool StorePropertiesDialog(DialogControls& dialog) {
    if (!FoldersFitProperties(dialog)) {
        return false;
    }
    for (const PropertyControl& box : CHECK_BOXES) {
        SetProperty(box.key, dialog.IsItemChecked(box.id) ? "1" : "0");
    }
    for (const PropertyControl& field : FOLDER_FIELDS) {
        SetProperty(field.key, dialog.ItemText(field.id));
    }
    return true;
}

void BrowseForFolder(DialogControls& dialog, int fieldId) {
    std::string folder = dialog.ItemText(fieldId);
    if (TheUserInterface().BrowseForFolder(BROWSE_FOR_FOLDER_INSTRUCTION, folder)) {
        dialog.SetItemText(fieldId, folder);
    }
}

void PropertiesDialog::OnInitDialog(DialogControls& controls) {
    FillPropertiesDialog(controls);
}

void PropertiesDialog::OnCommand(int id, int, DialogControls& controls) {
    if (id == PROPERTIES_OK_BUTTON) {
        if (StorePropertiesDialog(controls)) {
            controls.EndDialog(0);
        }
        return;
    }
    if (id == PROPERTIES_CANCEL_BUTTON) {
        controls.EndDialog(1);
        return;
    }
    for (const BrowseButton& button : BROWSE_BUTTONS) {
        if (id == button.id) {
            BrowseForFolder(controls, button.fieldId);
        }
    }
}

void ShowPropertiesDialog() {
    PropertiesDialog procedure;
    RunModalDialog(PROGRAM_PROPERTIES_DIALOG, procedure);
}

}  // namespace parvane
