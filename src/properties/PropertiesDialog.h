#pragma once

// Options > Properties...: the twelve known properties as eight check boxes and four folder
// fields, written back to the property table (not to the file) when the user presses OK.

#include "platform/ResourceIds.h"
#include "platform/UserInterface.h"

namespace parvane {

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
