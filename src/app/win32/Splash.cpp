#include "app/win32/Splash.h"

#include <string>

#include "app/win32/DpiScaling.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "base/ProgramFolder.h"

namespace parvane::win32 {

namespace {

constexpr int SPLASH_WIDTH = 640;
constexpr int SPLASH_HEIGHT = 480;

HBITMAP LoadSplashBitmap() {
    const std::string folder = GetProgramFolder();
    if (folder.empty()) {
        return nullptr;
    }
    const std::string path = JoinPath(folder, SPLASH_BITMAP);
    return static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

}  // namespace

void PaintSplash(HWND window) {
    HBITMAP bitmap = LoadSplashBitmap();
    if (bitmap == nullptr) {
        ValidateRect(window, nullptr);
        return;
    }
    HDC memory = CreateCompatibleDC(nullptr);
    if (memory == nullptr) {
        const long error = static_cast<long>(GetLastError());
        DeleteObject(bitmap);
        // Completed first: the box's own message loop would otherwise paint again, and fail
        // again, for ever.
        ValidateRect(window, nullptr);
        ShowError("CreateCompatibleDC failed: %ld", error);
        return;
    }
    HGDIOBJ previous = SelectObject(memory, bitmap);
    PAINTSTRUCT paint;
    HDC target = BeginPaint(window, &paint);
    const int dpi = WindowDpi(window);
    if (dpi == STANDARD_DPI) {
        BitBlt(target, 0, 0, SPLASH_WIDTH, SPLASH_HEIGHT, memory, 0, 0, SRCCOPY);
    } else {
        // The picture grows with the frame; HALFTONE keeps it smooth.
        SetStretchBltMode(target, HALFTONE);
        SetBrushOrgEx(target, 0, 0, nullptr);
        StretchBlt(target, 0, 0, ScaledToDpi(SPLASH_WIDTH, dpi), ScaledToDpi(SPLASH_HEIGHT, dpi),
                   memory, 0, 0, SPLASH_WIDTH, SPLASH_HEIGHT, SRCCOPY);
    }
    SelectObject(memory, previous);
    EndPaint(window, &paint);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

}  // namespace parvane::win32
