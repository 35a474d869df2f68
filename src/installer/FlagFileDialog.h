#pragma once

// The open-file dialog in which the user may pick a flag for a course that comes without one.

#include <string>

namespace parvane {

// Opens in the folder of the AskForFlagFolder setting, which then follows the folder of the
// file picked. True when the dialog ran: `path` holds the file picked, or stays empty when the
// user cancelled. False, after an Error box with the dialog's error code, when it could not be
// shown.
bool FlagFileDialog(std::string& path);

}  // namespace parvane
