#pragma once

// The program's own temporary folders: the per-run extraction folder, the folders made for
// MyZip archives, and those an earlier, killed run left behind.

#include <cstdint>
#include <string>

namespace parvane {

// The per-run folder into which packages are unpacked; fixed at the first call, not created
// here. When the system gives no temporary folder or unique name, it shows the Error and ends
// the process with status 1 through the process-end handler.
std::string GetTempExtractionFolder();

// What GetTempExtractionFolder calls to end the process (std::exit by default). Tests replace
// it to watch the exit happen; when a replacement returns, GetTempExtractionFolder returns an
// empty path and keeps nothing. Null restores the default.
using ProcessEndHandler = void (*)(int status);
void SetProcessEndHandler(ProcessEndHandler handler);
// Forgets the stored folder, so that the next call picks a new one, as a new run would.
void ForgetTempExtractionFolder();

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
