#pragma once

// What gives each test a fresh process: the program keeps these for its whole run and never
// forgets them itself (CONTRIBUTING.md, "Process-wide state", lists every piece of such state).
// Each is defined beside the state it forgets, and declared here only, so that the program's
// own headers show what the program calls.

namespace parvane {

// The game's folder and the documents folder (base/GameFolders): read again when next asked.
void ForgetGameFolders();
// The property table emptied and its folder forgotten (properties/Properties).
void ResetProperties();
// The temporary extraction folder (archive/TempExtractionFolder): the next call picks a new one,
// as a new run would.
void ForgetTempExtractionFolder();
// The .htm handler found (shell/Html): the next FindHtmlHandler reads the registry again.
void ForgetHtmlHandler();

}  // namespace parvane
