#pragma once

// The dialog that shows the installation analysis (DIALOG_ANALYSIS): the report, then the check of
// the installed files against their records, in a read-only edit control, and a Close button,
// which Enter, Esc and the close box press too.

#include "platform/ResourceIds.h"
#include "platform/UserInterface.h"

namespace parvane {

class AnalysisDialog : public DialogProcedure {
  public:
    void OnInitDialog(DialogControls& controls) override;
    void OnCommand(int id, int notification, DialogControls& controls) override;
};

void ShowAnalysisDialog();

}  // namespace parvane
