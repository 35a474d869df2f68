#pragma once

// The picture the main window shows: parvane.bmp beside the executable.

#include "platform/win32/WindowsApi.h"

namespace parvane::win32 {

inline constexpr const char* SPLASH_BITMAP = "parvane.bmp";

// Answers the window's paint request: draws 640 x 480 pixels of the bitmap at the top left of
// the client area (scaled with the window's DPI), read from its file on every paint; nothing when
// it is missing or is no bitmap. The request is completed in every case, so that it does not come
// back without end.
void PaintSplash(HWND window);

}  // namespace parvane::win32
