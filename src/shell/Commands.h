#pragma once

// The main window's commands, as its menu and accelerators send them, and the one place that
// runs them: the window procedure and the terminal both hand a command id to DispatchCommand.

#include "platform/ResourceIds.h"

namespace parvane {

// "%s for %s" of the program's name and the game's title; while an archive is installed the
// title names it too.
inline constexpr const char* MAIN_WINDOW_TITLE = "Parvane for Greenvale 06";

// Set by Exit and by closing the main window; never cleared. The message loop ends after the
// message during which it was set.
bool QuitRequested();
void RequestQuit();

// Runs command `id` to completion; an id that names no command is ignored. False when the
// program must end at once with EXIT_NOT_DONE (InstallRunResult::endsProgram).
bool DispatchCommand(int id);

}  // namespace parvane
