#pragma once

// The main window's commands, as its menu and accelerators send them, and the one place that
// runs them: the window procedure and the terminal both hand a command id to DispatchCommand.

#include "platform/ResourceIds.h"

namespace parvane {

// "%s for %s" of the program's name and the game's title; while an archive is installed the
// title names it too.
inline constexpr const char* MAIN_WINDOW_TITLE = "Parvane for Greenvale 06";

// Set by Exit, by closing the main window and by a failed start-up step; never cleared. The
// message loop ends after the message during which it was set.
bool QuitRequested();
void RequestQuit();

// Runs command `id` to completion; an id that names no command is ignored.
void DispatchCommand(int id);

}  // namespace parvane
