#pragma once

// The open dialog in which the user chooses the archives to install, and archives chosen
// otherwise queued as if chosen there.

#include <string>
#include <vector>

namespace parvane {

// Shows the open dialog in the OpenArchiveFolder property's folder and queues the chosen
// archives (replacing the queue), remembering their folder when RememberOpenArchiveFolder is
// on. True when the user chose files; false when they cancelled or the dialog failed (after
// "Couldn't display open file dialog box, code=%d").
bool ShowOpenArchiveDialog();

// Queues archives the user chose outside the dialog (dropped on the main window) as the dialog
// queues its selection: replacing the queue, their folder remembered when
// RememberOpenArchiveFolder is on. A folder among them is refused with an Error box, as is a
// path over 255 characters. True when at least one archive was queued.
bool QueueChosenArchives(const std::vector<std::string>& paths);

}  // namespace parvane
