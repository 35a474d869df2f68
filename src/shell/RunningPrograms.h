#pragma once

// The programs Parvane must not run beside: the game, its editing tools, and a second copy of
// itself. Any of them may write the registry keys and folders Parvane changes.

namespace parvane {

// True when the game or one of its tools runs (ARCHITECT.EXE, LC2006.EXE, GV2006.EXE,
// COURSEUTILITIES.EXE, compared ignoring case); the walk stops at the first one.
// `anotherInstance` is set when more than one PARVANE.EXE was seen before that point (the
// running program counts itself). False, with nothing set, when no process list can be had.
bool CheckRunningPrograms(bool& anotherInstance);

}  // namespace parvane
