#pragma once

// The window program's user interface: message boxes, the common dialogs and the program's
// own dialogs over user32, comdlg32 and shell32, owned by the main window (or by the dialog in
// front of it). Long work runs on a worker thread while the window thread keeps the windows
// painted and shows its progress; every call the worker makes here is handed to the window
// thread and answered there, one at a time.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/UserInterface.h"
#include "platform/win32/WindowsApi.h"

namespace parvane::win32 {

class Win32UserInterface final : public UserInterface {
  public:
    // Dialog templates and icons come from `instance`'s resources.
    explicit Win32UserInterface(HINSTANCE instance);
    ~Win32UserInterface() override;
    Win32UserInterface(const Win32UserInterface&) = delete;
    Win32UserInterface& operator=(const Win32UserInterface&) = delete;

    // The window that owns dialogs, whose title ShowTitle sets and which runs the calls handed
    // over by the worker; its thread is the window thread. None until it exists.
    void SetMainWindow(HWND window);

    int ShowMessageBox(const std::string& text, const std::string& caption,
                       std::uint32_t flags) override;
    bool OpenFile(const OpenFileRequest& request, std::string& selection,
                  std::uint32_t& dialogError) override;
    bool BrowseForFolder(const std::string& instruction, std::string& folder) override;
    std::intptr_t RunDialog(int templateId, DialogProcedure& procedure) override;

    void ShowTitle(const std::string& title) override;
    void BeginWork(const std::string& description, std::uint64_t total) override;
    void AdvanceWork(std::uint64_t done) override;
    void EndWork() override;
    void RunLongWork(const std::string& step, const std::function<void()>& work) override;
    void ShowSubject(const std::string& subject) override;

    // Called by the dialogs themselves while they open and close.
    void DialogOpened(HWND dialog) { openDialogs.push_back(dialog); }
    void DialogClosed() { openDialogs.pop_back(); }
    // Icon 104 at 16 x 16, for the browse buttons.
    HICON BrowseIcon() const { return browseIcon; }

    // Makes each step of unpacking last `milliseconds` longer, so that the window tests can
    // watch long work on a small archive.
    void SlowDownWorkForTests(unsigned milliseconds) { workDelay = milliseconds; }

    // The progress dialog's timer and its Cancel button.
    void OnProgressTimer();
    void OnCancelPressed();

  private:
    // What the worker reports, read by the window thread's timer.
    struct Progress {
        std::string subject;
        std::string step;
        std::uint64_t total = 0;
        std::uint64_t done = 0;
    };

    // The dialog in front, else the main window.
    HWND Owner() const;
    bool OnWindowThread() const;
    // Runs `call` on the window thread, with the progress dialog hidden meanwhile; from the
    // worker it waits for the answer.
    void HandOver(const std::function<void()>& call);
    void PumpUntilDone(const std::atomic<bool>& done);
    void ShowProgressDialog();
    void UpdateProgressDialog();
    void EndProgressDialog();

    HINSTANCE instance;
    HWND mainWindow = nullptr;
    DWORD windowThread = 0;
    std::vector<HWND> openDialogs;
    HICON browseIcon = nullptr;

    // Long work: set and read on the window thread only, but for `progress`.
    bool working = false;
    bool handingOver = false;
    ULONGLONG workStart = 0;
    std::string defaultStep;
    HWND progressDialog = nullptr;
    unsigned workDelay = 0;
    Progress shown;
    std::mutex progressLock;
    Progress progress;
};

}  // namespace parvane::win32
