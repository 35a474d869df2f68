#pragma once

// Installing one installation archive end to end.

#include <string>

#include "installer/InstallResult.h"

namespace parvane {

// Unpacks the archive (a .zip or .tcx, its inner archives included, or a bare .tcl library
// file) into an empty temporary extraction folder, classifies the package, asks what the
// settings say to ask (renaming, flag, target folder, confirmation, in that order), completes
// and checks every destination path, and installs the course or the libraries. Nothing is
// written into the game's folders before the last question is answered. True when the
// installation completed; false when it failed or the user cancelled it (every failure has
// shown its message, except a cancelled target folder dialog). The caller empties `result`
// before and removes the temporary extraction folder after.
bool InstallArchive(const std::string& archivePath, InstallResult& result);

}  // namespace parvane
