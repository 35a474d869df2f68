#pragma once

// Options > Properties...: the twelve known properties as eight check boxes and four folder
// fields, written back to the property table (not to the file) when the user presses OK.

#include "platform/UserInterface.h"

namespace parvane {

inline constexpr int PROPERTIES_OK_BUTTON = 1;
inline constexpr int PROPERTIES_CANCEL_BUTTON = 2;
// The browse buttons and the folder field each fills.
inline constexpr int PROPERTIES_BROWSE_TARGET_FOLDER = 3;
inline constexpr int PROPERTIES_BROWSE_OPEN_ARCHIVE_FOLDER = 4;
inline constexpr int PROPERTIES_BROWSE_FLAG_FOLDER = 5;
inline constexpr int PROPERTIES_BROWSE_LIBRARY_FOLDER = 6;
inline constexpr int PROPERTIES_TARGET_FOLDER_FIELD = 1009;
inline constexpr int PROPERTIES_OPEN_ARCHIVE_FOLDER_FIELD = 1006;
inline constexpr int PROPERTIES_FLAG_FOLDER_FIELD = 1010;
inline constexpr int PROPERTIES_LIBRARY_FOLDER_FIELD = 1012;

// A check box is checked when its property reads as 1 or more; a field shows its property's
// text unchanged.
void FillPropertiesDialog(DialogControls& dialog);

// Sets every property from the controls: "1" or "0" for each check box, the text of each
// field. A field longer than a property holds is refused with an Error box naming it, and
// then nothing is set: false.
bool StorePropertiesDialog(DialogControls& dialog);

// The folder browser, opened at the folder in field `fieldId`; the chosen folder replaces the
// field's text, a cancel keeps it.
void BrowseForFolder(DialogControls& dialog, int fieldId);

// OK stores and closes (0), Cancel (also Esc and the close box) closes (1) storing nothing,
// each browse button fills its field.
class PropertiesDialog : public DialogProcedure {
  public:
    void OnInitDialog(DialogControls& controls) override;
    void OnCommand(int id, int notification, DialogControls& controls) override;
};

void ShowPropertiesDialog();

}  // namespace parvane
