#pragma once

// The main window: a fixed 640 x 480 frame with the menu, showing the splash picture. Every
// command it receives runs through the core's DispatchCommand; archives dropped on it are
// installed as if chosen in the open dialog.

#include <string>

#include "platform/win32/WindowsApi.h"

namespace parvane::win32 {

inline constexpr const char* MAIN_WINDOW_CLASS = "MainWndClass";
inline constexpr int MAIN_WINDOW_WIDTH = 640;
inline constexpr int MAIN_WINDOW_HEIGHT = 480;

// The class with icon 101, the arrow cursor and the grey-text background; false when it
// cannot be registered.
bool RegisterMainWindowClass(HINSTANCE instance);

// File, Options and Help; none when any menu call fails.
HMENU BuildMainMenu();
// Ctrl+O, Ctrl+P, Ctrl+C, Ctrl+L and Ctrl+A.
HACCEL BuildAccelerators();

// The window, not shown yet, centred on the desktop's work area and accepting dropped files;
// none when it cannot be created.
HWND CreateMainWindow(HINSTANCE instance, const std::string& title, HMENU menu);

}  // namespace parvane::win32
