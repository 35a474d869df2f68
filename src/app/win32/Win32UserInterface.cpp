#include "app/win32/Win32UserInterface.h"

// clang-format off
#include "platform/win32/WindowsApi.h"
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
// clang-format on

#include <algorithm>
#include <csignal>
#include <thread>

#include "app/win32/MainWindow.h"
#include "base/Messages.h"
#include "base/StopRequest.h"
#include "platform/ResourceIds.h"

namespace parvane::win32 {

namespace {

// Work that ends sooner shows no progress dialog.
constexpr ULONGLONG PROGRESS_DELAY_MS = 500;
constexpr UINT PROGRESS_TIMER_MS = 100;
constexpr int PROGRESS_RANGE = 1000;

// The interface whose long work the progress timer serves (one at a time).
Win32UserInterface* progressOwner = nullptr;

// The selection as the program reads it: one file's path, or for several files the folder,
// NUL, each name, NUL, and a final NUL.
std::string SelectionOf(const std::vector<char>& buffer) {
    const std::string first(buffer.data());
    if (buffer[first.size() + 1] == '\0') {
        return first;
    }
    std::size_t end = first.size() + 1;
    while (buffer[end] != '\0' || buffer[end + 1] != '\0') {
        ++end;
    }
    return std::string(buffer.data(), end + 2);
}

// Opens the folder browser at the folder it was given (lpData), when that is one.
int CALLBACK SelectStartFolder(HWND browser, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data != 0) {
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
    }
    return 0;
}

void CALLBACK ProgressTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (progressOwner != nullptr) {
        progressOwner->OnProgressTimer();
    }
}

INT_PTR CALLBACK ProgressProcedure(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    // The Cancel button, Esc and the close box.
    if (message == WM_COMMAND && LOWORD(wParam) == PROGRESS_CANCEL_BUTTON &&
        progressOwner != nullptr) {
        progressOwner->OnCancelPressed();
        return TRUE;
    }
    return FALSE;
}

}  // namespace

Win32UserInterface::Win32UserInterface(HINSTANCE programInstance) : instance(programInstance) {
    browseIcon = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(ICON_BROWSE), IMAGE_ICON, 16, 16, 0));
}

Win32UserInterface::~Win32UserInterface() {
    if (browseIcon != nullptr) {
        DestroyIcon(browseIcon);
    }
}

void Win32UserInterface::SetMainWindow(HWND window) {
    mainWindow = window;
    windowThread = GetCurrentThreadId();
}

HWND Win32UserInterface::Owner() const {
    return openDialogs.empty() ? mainWindow : openDialogs.back();
}

bool Win32UserInterface::OnWindowThread() const {
    return mainWindow == nullptr || GetCurrentThreadId() == windowThread;
}

void Win32UserInterface::HandOver(const std::function<void()>& call) {
    if (OnWindowThread()) {
        call();
        return;
    }
    // The worker waits here for the answer; the window thread runs the call from its message
    // loop, one call at a time, in the order the worker makes them.
    const std::function<void()> hidingProgress = [this, &call] {
        handingOver = true;
        if (progressDialog != nullptr) {
            ShowWindow(progressDialog, SW_HIDE);
        }
        call();
        handingOver = false;
        if (progressDialog != nullptr) {
            ShowWindow(progressDialog, SW_SHOWNA);
        }
    };
    SendMessageA(mainWindow, WM_RUN_ON_WINDOW_THREAD, 0, reinterpret_cast<LPARAM>(&hidingProgress));
}

int Win32UserInterface::ShowMessageBox(const std::string& text, const std::string& caption,
                                       std::uint32_t flags) {
    int answer = 0;
    HandOver([&] { answer = MessageBoxA(Owner(), text.c_str(), caption.c_str(), flags); });
    return answer;
}

bool Win32UserInterface::OpenFile(const OpenFileRequest& request, std::string& selection,
                                  std::uint32_t& dialogError) {
    bool chosen = false;
    HandOver([&] {
        // One filter entry: its description, NUL, its pattern, NUL, and the NUL that ends the
        // list.
        std::string filter = request.filterDescription;
        filter += '\0';
        filter += request.filterPattern;
        filter += '\0';
        // Zero-filled beyond what the dialog may write, so that the selection always ends in
        // two NULs.
        std::vector<char> buffer(request.bufferSize + 2, '\0');

        OPENFILENAMEA dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = mainWindow;
        dialog.hInstance = instance;
        dialog.lpstrFilter = filter.c_str();
        dialog.nFilterIndex = 1;
        dialog.lpstrFile = buffer.data();
        dialog.nMaxFile = request.bufferSize;
        dialog.lpstrInitialDir = request.initialFolder.c_str();
        dialog.lpstrTitle = request.title.c_str();
        dialog.Flags = request.flags;
        dialog.lpstrDefExt = request.defaultExtension.c_str();
        chosen = GetOpenFileNameA(&dialog) != FALSE;
        dialogError = chosen ? 0 : CommDlgExtendedError();
        if (chosen) {
            selection = SelectionOf(buffer);
        }
    });
    return chosen;
}

bool Win32UserInterface::BrowseForFolder(const std::string& instruction, std::string& folder) {
    bool converted = false;
    HandOver([&] {
        char displayName[MAX_PATH] = {};
        BROWSEINFOA browse{};
        browse.hwndOwner = Owner();
        browse.pszDisplayName = displayName;
        browse.lpszTitle = instruction.c_str();
        browse.ulFlags = BIF_RETURNONLYFSDIRS;
        browse.lpfn = SelectStartFolder;
        browse.lParam = folder.empty() ? 0 : reinterpret_cast<LPARAM>(folder.c_str());
        PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&browse);
        if (chosen == nullptr) {
            return;
        }
        char path[MAX_PATH] = {};
        converted = SHGetPathFromIDListA(chosen, path) != FALSE;
        CoTaskMemFree(chosen);
        if (converted) {
            folder = path;
        }
    });
    return converted;
}

void Win32UserInterface::ShowTitle(const std::string& title) {
    HandOver([&] {
        if (mainWindow != nullptr) {
            SetWindowTextA(mainWindow, title.c_str());
        }
    });
}

void Win32UserInterface::ShowSubject(const std::string& subject) {
    const std::lock_guard lock(progressLock);
    progress.subject = subject;
}

void Win32UserInterface::BeginWork(const std::string& description, std::uint64_t total) {
    const std::lock_guard lock(progressLock);
    progress.step = description;
    progress.total = total;
    progress.done = 0;
}

void Win32UserInterface::AdvanceWork(std::uint64_t done) {
    if (workDelay > 0) {
        Sleep(workDelay);
    }
    const std::lock_guard lock(progressLock);
    progress.done = done;
}

void Win32UserInterface::EndWork() {
    const std::lock_guard lock(progressLock);
    progress.step = defaultStep;
    progress.total = 0;
    progress.done = 0;
}

void Win32UserInterface::RunLongWork(const std::string& step, const std::function<void()>& work) {
    if (!OnWindowThread()) {
        work();  // part of the worker's own work
        return;
    }
    if (working) {
        ShowWarning("Parvane is still at work: try again when it is done.");
        return;
    }
    ClearStopRequest();
    working = true;
    workStart = GetTickCount64();
    defaultStep = step;
    {
        const std::lock_guard lock(progressLock);
        progress = Progress{};
        progress.step = step;
    }
    // The window and the dialog in front take no input meanwhile, as under a modal dialog.
    HWND owner = Owner();
    const bool ownerWasEnabled = EnableWindow(owner, FALSE) == FALSE;
    progressOwner = this;
    const UINT_PTR timer = SetTimer(nullptr, 0, PROGRESS_TIMER_MS, ProgressTimer);

    std::atomic<bool> done = false;
    std::thread worker([&] {
        work();
        done = true;
        PostMessageA(mainWindow, WM_NULL, 0, 0);  // wakes the loop below
    });
    PumpUntilDone(done);
    worker.join();

    KillTimer(nullptr, timer);
    if (ownerWasEnabled) {
        EnableWindow(owner, TRUE);
    }
    EndProgressDialog();
    progressOwner = nullptr;
    working = false;
}

void Win32UserInterface::PumpUntilDone(const std::atomic<bool>& done) {
    while (!done) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, PROGRESS_TIMER_MS, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (progressDialog != nullptr && IsDialogMessageA(progressDialog, &message)) {
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void Win32UserInterface::OnProgressTimer() {
    if (!working || handingOver) {
        return;
    }
    if (progressDialog == nullptr) {
        if (GetTickCount64() - workStart < PROGRESS_DELAY_MS) {
            return;
        }
        ShowProgressDialog();
    }
    UpdateProgressDialog();
}

void Win32UserInterface::OnCancelPressed() {
    RequestStop(SIGINT);
    if (progressDialog != nullptr) {
        EnableWindow(GetDlgItem(progressDialog, PROGRESS_CANCEL_BUTTON), FALSE);
        SetDlgItemTextA(progressDialog, PROGRESS_STEP, "Cancelling...");
    }
}

void Win32UserInterface::ShowProgressDialog() {
    progressDialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(DIALOG_PROGRESS), Owner(),
                                        ProgressProcedure, 0);
    if (progressDialog == nullptr) {
        return;  // the work goes on without it
    }
    shown = {};
    SendDlgItemMessageA(progressDialog, PROGRESS_BAR, PBM_SETRANGE32, 0, PROGRESS_RANGE);
    ShowWindow(progressDialog, SW_SHOW);
}

void Win32UserInterface::UpdateProgressDialog() {
    if (progressDialog == nullptr || IsStopRequested()) {
        return;
    }
    Progress now;
    {
        const std::lock_guard lock(progressLock);
        now = progress;
    }
    // Texts are set only when they change, so that they do not flicker.
    if (now.subject != shown.subject) {
        SetDlgItemTextA(progressDialog, PROGRESS_SUBJECT, now.subject.c_str());
    }
    if (now.step != shown.step) {
        SetDlgItemTextA(progressDialog, PROGRESS_STEP, now.step.c_str());
    }
    HWND bar = GetDlgItem(progressDialog, PROGRESS_BAR);
    const bool known = now.total > 0;
    const LONG_PTR style = GetWindowLongPtrA(bar, GWL_STYLE);
    // Work of unknown size shows a bar that runs to and fro.
    if (known == ((style & PBS_MARQUEE) != 0)) {
        SetWindowLongPtrA(bar, GWL_STYLE, known ? style & ~PBS_MARQUEE : style | PBS_MARQUEE);
        SendMessageA(bar, PBM_SETMARQUEE, known ? FALSE : TRUE, 0);
    }
    if (known) {
        const std::uint64_t part = std::min(now.done, now.total) * PROGRESS_RANGE / now.total;
        SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(part), 0);
    }
    shown = now;
}

void Win32UserInterface::EndProgressDialog() {
    if (progressDialog != nullptr) {
        DestroyWindow(progressDialog);
        progressDialog = nullptr;
    }
}

}  // namespace parvane::win32
