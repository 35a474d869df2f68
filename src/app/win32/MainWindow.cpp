#include "app/win32/MainWindow.h"

// clang-format off
#include "platform/win32/WindowsApi.h"
#include <shellapi.h>
// clang-format on

#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/win32/DpiScaling.h"
#include "app/win32/Splash.h"
#include "platform/ResourceIds.h"
#include "shell/Commands.h"
#include "shell/InstallRun.h"
#include "shell/Startup.h"

namespace parvane::win32 {

namespace {

// Overlapped, caption, system menu and minimise box: neither resizable nor maximisable.
constexpr DWORD MAIN_WINDOW_STYLE = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

struct MenuItem {
    UINT id;  // 0: a separator
    const char* text;
};

constexpr MenuItem FILE_MENU[] = {
    {CMD_OPEN_ARCHIVE, "&Open installation archive...\tCtrl+O"},
    {0, nullptr},
    {CMD_UNINSTALL_COURSE, "Uninstall &course...\tCtrl+C"},
    {CMD_UNINSTALL_LIBRARY, "Uninstall &library...\tCtrl+L"},
    {0, nullptr},
    {CMD_ANALYZE, "&Analyze installation...\tCtrl+A"},
    {0, nullptr},
    {CMD_EXIT, "&Exit"},
};
constexpr MenuItem OPTIONS_MENU[] = {{CMD_PROPERTIES, "&Properties...\tCtrl+P"}};
constexpr MenuItem HELP_MENU[] = {
    {CMD_HELP_CONTENTS, "&Contents"},
    {0, nullptr},
    {CMD_ABOUT, "&About..."},
};

// Appends a drop-down menu of `items` titled `title` to `bar`; false when a call fails.
template <std::size_t count>
bool AppendDropDown(HMENU bar, const char* title, const MenuItem (&items)[count]) {
    HMENU dropDown = CreatePopupMenu();
    if (dropDown == nullptr) {
        return false;
    }
    for (const MenuItem& item : items) {
        const BOOL appended = item.id == 0 ? AppendMenuA(dropDown, MF_SEPARATOR, 0, nullptr)
                                           : AppendMenuA(dropDown, MF_STRING, item.id, item.text);
        if (!appended) {
            DestroyMenu(dropDown);
            return false;
        }
    }
    if (!AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(dropDown), title)) {
        DestroyMenu(dropDown);
        return false;
    }
    return true;
}

// An install run that found no temporary folder has said so; nothing can be installed, and the
// program ends there and then, its properties unsaved.
[[noreturn]] void EndProgramNow() {
    std::exit(EXIT_NOT_DONE);
}

// The paths of the files dropped on the window, in the order the drop lists them; the drop's
// memory is released.
std::vector<std::string> TakeDroppedFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT index = 0; index < count; ++index) {
        std::string path(DragQueryFileA(drop, index, nullptr, 0), '\0');
        if (!path.empty() &&
            DragQueryFileA(drop, index, path.data(), static_cast<UINT>(path.size() + 1)) > 0) {
            paths.push_back(std::move(path));
        }
    }
    DragFinish(drop);
    return paths;
}

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_USER:
            if (!DispatchCommand(LOWORD(wParam))) {
                EndProgramNow();
            }
            return 0;
        case WM_CLOSE:
            // The window is destroyed after the message loop, at shutdown.
            RequestQuit();
            return 0;
        case WM_PAINT:
            PaintSplash(window);
            return 0;
        case WM_DROPFILES:
            if (InstallDroppedArchives(TakeDroppedFiles(reinterpret_cast<HDROP>(wParam)))
                    .endsProgram) {
                EndProgramNow();
            }
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_F1) {
                DispatchCommand(CMD_HELP_CONTENTS);
            }
            return 0;
        case WM_RUN_ON_WINDOW_THREAD:
            (*reinterpret_cast<const std::function<void()>*>(lParam))();
            return 0;
        case WM_DPICHANGED: {
            // Moved to a monitor of another DPI: the frame takes the size Windows suggests.
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested.left, suggested.top,
                         suggested.right - suggested.left, suggested.bottom - suggested.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_PARVANE));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(ICON_PARVANE), IMAGE_ICON, 16, 16, LR_SHARED));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_GRAYTEXT + 1);
    windowClass.lpszClassName = MAIN_WINDOW_CLASS;
    return RegisterClassExA(&windowClass) != 0;
}

HMENU BuildMainMenu() {
    HMENU bar = CreateMenu();
    if (bar == nullptr) {
        return nullptr;
    }
    if (!AppendDropDown(bar, "&File", FILE_MENU) ||
        !AppendDropDown(bar, "&Options", OPTIONS_MENU) ||
        !AppendDropDown(bar, "&Help", HELP_MENU)) {
        DestroyMenu(bar);  // with the drop-downs already appended
        return nullptr;
    }
    return bar;
}

HACCEL BuildAccelerators() {
    ACCEL accelerators[] = {
        {FVIRTKEY | FCONTROL, 'O', CMD_OPEN_ARCHIVE},
        {FVIRTKEY | FCONTROL, 'P', CMD_PROPERTIES},
        {FVIRTKEY | FCONTROL, 'C', CMD_UNINSTALL_COURSE},
        {FVIRTKEY | FCONTROL, 'L', CMD_UNINSTALL_LIBRARY},
        {FVIRTKEY | FCONTROL, 'A', CMD_ANALYZE},
    };
    return CreateAcceleratorTableA(accelerators, static_cast<int>(std::size(accelerators)));
}

HWND CreateMainWindow(HINSTANCE instance, const std::string& title, HMENU menu) {
    HWND window =
        CreateWindowExA(0, MAIN_WINDOW_CLASS, title.c_str(), MAIN_WINDOW_STYLE, 0, 0,
                        MAIN_WINDOW_WIDTH, MAIN_WINDOW_HEIGHT, nullptr, menu, instance, nullptr);
    if (window == nullptr) {
        return nullptr;
    }
    // Sized for the DPI of the monitor it was created on, centred on the work area.
    const int dpi = WindowDpi(window);
    const int width = ScaledToDpi(MAIN_WINDOW_WIDTH, dpi);
    const int height = ScaledToDpi(MAIN_WINDOW_HEIGHT, dpi);
    RECT workArea{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    SetWindowPos(window, nullptr, (workArea.right - workArea.left) / 2 - width / 2,
                 (workArea.bottom - workArea.top) / 2 - height / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    DragAcceptFiles(window, TRUE);  // archives dropped on it are installed
    return window;
}

}  // namespace parvane::win32
