#pragma once

// The open dialog in which the user chooses the archives to install.

namespace parvane {

// Shows the open dialog in the OpenArchiveFolder property's folder and queues the chosen
// archives (replacing the queue), remembering their folder when RememberOpenArchiveFolder is
// on. True when the user chose files; false when they cancelled or the dialog failed (after
// "Couldn't display open file dialog box, code=%d").
bool ShowOpenArchiveDialog();

}  // namespace parvane
