// Parvane.exe: prepares the user interface and its (hidden) main window, runs the start-up
// steps, runs the main window's message loop and saves the properties at the end.

#include <cstdlib>
#include <memory>
#include <string>

// clang-format off
#include "platform/win32/WindowsApi.h"
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
// clang-format on

#include "app/win32/MainWindow.h"
#include "app/win32/Win32UserInterface.h"
#include "base/Messages.h"
#include "base/StateFolder.h"
#include "platform/win32/Win32Machine.h"
#include "shell/CommandLine.h"
#include "shell/Commands.h"
#include "shell/Startup.h"

namespace parvane::win32 {

namespace {

// %LOCALAPPDATA%\Parvane, created by whoever first keeps something there; empty when the
// system names no local application data folder.
std::string LocalStateFolder() {
    char folder[MAX_PATH] = {};
    if (FAILED(
            SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        return {};
    }
    return std::string(folder) + "\\Parvane";
}

bool InitialiseCommonControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    return InitCommonControlsEx(&controls) != FALSE;
}

void RunMessageLoop(HACCEL accelerators) {
    MSG message;
    while (!QuitRequested() && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorA(message.hwnd, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

int RunProgram(HINSTANCE instance, Win32UserInterface& userInterface) {
    const std::string commandLine = GetCommandLineA();
    if (!InitialiseCommonControls()) {
        ShowError("Couldn't initialize common controls.");
        return EXIT_NOT_DONE;
    }
    if (!RegisterMainWindowClass(instance)) {
        return EXIT_NOT_DONE;
    }
    HMENU menu = BuildMainMenu();
    HACCEL accelerators = BuildAccelerators();
    HWND window = CreateMainWindow(instance, MAIN_WINDOW_TITLE, menu);
    if (window == nullptr) {
        ShowError("Couldn't create main window.");
        DestroyMenu(menu);
        DestroyAcceleratorTable(accelerators);
        UnregisterClassA(MAIN_WINDOW_CLASS, instance);
        return EXIT_NOT_DONE;
    }
    // Hidden until the start-up has passed; it owns the start-up's boxes.
    userInterface.SetMainWindow(window);
    // The properties are in the program's folder; the other steps are the shared ones.
    const bool started = StartProgram({});
    if (started) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);  // paints the splash picture once
        if (!commandLine.empty()) {
            QueueArchivesFromText(commandLine);
        }
        PostMessageA(window, WM_USER, CMD_OPEN_ARCHIVE, 0);
        RunMessageLoop(accelerators);
    }
    SavePropertiesAtExit();
    DestroyWindow(window);
    DestroyAcceleratorTable(accelerators);
    UnregisterClassA(MAIN_WINDOW_CLASS, instance);
    return started ? EXIT_DONE : EXIT_NOT_DONE;
}

}  // namespace

}  // namespace parvane::win32

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace parvane;
    // The folder browser is a shell object.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::unique_ptr<Machine> machine = win32::MakeWin32Machine();
    SetMachine(machine.get());
    SetStateFolder(win32::LocalStateFolder());
    win32::Win32UserInterface userInterface(instance);
    // Set by the window tests only.
    if (const char* delay = std::getenv("PARVANE_TEST_WORK_DELAY_MS")) {
        userInterface.SlowDownWorkForTests(static_cast<unsigned>(std::strtoul(delay, nullptr, 10)));
    }
    SetUserInterface(&userInterface);
    const int exitCode = win32::RunProgram(instance, userInterface);
    SetUserInterface(nullptr);
    SetMachine(nullptr);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return exitCode;
}
