#pragma once

// The program's own temporary folders: the per-run extraction folder, the folders made for
// MyZip archives, and those an earlier, killed run left behind.

#include <cstdint>
#include <string>

namespace parvane {

// The per-run folder into which packages are unpacked; fixed at the first call that finds
// one, not created here. Empty after an Error box when the system gives no temporary folder or
// unique name: then nothing can be installed, and the install run ends the program
// (shell/InstallRun.h).
std::string GetTempExtractionFolder();

// Makes a new, empty folder under a unique name in the system's temporary folder and counts it
// among the program's own for the run. Empty after an Error box when none can be made.
std::string MakeOwnTemporaryFolder();
// Removes the folders named like the program's own temporary folders (PRV, one to four hex
// digits, .tmp) in the system's temporary folder that this run did not make, with their files:
// an earlier run that was killed left them. Only for a caller that knows no other copy of the
// program runs on this machine now. Returns how many bytes their files held.
std::uint64_t RemoveLeftoverTemporaryFolders();
// True for the temporary extraction folder (once chosen) and the folders MakeOwnTemporaryFolder
// made; the texts are compared ignoring case and trailing separators.
bool IsOwnTemporaryFolder(const std::string& folder);

}  // namespace parvane
