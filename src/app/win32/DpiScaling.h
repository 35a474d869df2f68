#pragma once

// The window program declares itself aware of each monitor's DPI: what it draws in pixels of
// its own (the main window's frame, the splash picture) it scales itself.

#include "platform/win32/WindowsApi.h"

namespace parvane::win32 {

inline constexpr int STANDARD_DPI = 96;

// The DPI of the monitor `window` is on (of the screen before Windows 10 1607).
int WindowDpi(HWND window);

// `size` pixels at 96 DPI, at `dpi`.
inline int ScaledToDpi(int size, int dpi) {
    return MulDiv(size, dpi, STANDARD_DPI);
}

}  // namespace parvane::win32
