#pragma once

// The Help menu's About box: the program's name, version, credits and build time.

#include <string>

#include "platform/ResourceIds.h"
#include "platform/UserInterface.h"

namespace parvane {

std::string AboutText();

// Shows the text; OK, Enter, Esc and the close box close the box.
class AboutDialog : public DialogProcedure {
  public:
    void OnInitDialog(DialogControls& controls) override;
    void OnCommand(int id, int notification, DialogControls& controls) override;
};

void ShowAboutDialog();

}  // namespace parvane
