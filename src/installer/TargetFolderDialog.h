#pragma once

// The dialog in which the user chooses the folder a course or library goes to
// (DIALOG_TARGET_FOLDER).
// Its rules live here; a front end only draws the controls and passes their values on.

#include <string>
#include <utility>

#include "platform/ResourceIds.h"
#include "platform/UserInterface.h"

namespace parvane {

// OK accepts a full path (drive letter, colon, backslash) of at most 255 characters that does
// not exist yet or is a folder; for a course an existing folder is accepted only after a
// question. Anything else is refused with a message and the dialog stays open. Browse puts a
// folder picked in the system's folder browser into the edit box; Undo puts back the folder
// the dialog was opened with.
class TargetFolderProcedure : public DialogProcedure {
  public:
    explicit TargetFolderProcedure(std::string folder) : workingCopy(std::move(folder)) {}

    void OnInitDialog(DialogControls& controls) override;
    void OnCommand(int id, int notification, DialogControls& controls) override;

    // The folder the dialog was opened with, or the one accepted by OK.
    const std::string& Folder() const { return workingCopy; }

  private:
    bool IsAcceptable(const std::string& path) const;

    std::string workingCopy;
};

// Runs the dialog on `folder`. True when the user confirmed a folder, which `folder` then
// holds; false, with `folder` unchanged, when the user cancelled or the dialog could not be
// shown (after an Error box).
bool TargetFolderDialog(std::string& folder);

}  // namespace parvane
