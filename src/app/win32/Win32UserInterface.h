#pragma once

// The window program's user interface: message boxes, the common dialogs and the program's
// own dialogs over user32, comdlg32 and shell32, owned by the main window (or by the dialog in
// front of it).

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

    // The window that owns dialogs and whose title ShowTitle sets; none until it exists.
    void SetMainWindow(HWND window) { mainWindow = window; }

    int ShowMessageBox(const std::string& text, const std::string& caption,
                       std::uint32_t flags) override;
    bool OpenFile(const OpenFileRequest& request, std::string& selection,
                  std::uint32_t& dialogError) override;
    bool BrowseForFolder(const std::string& instruction, std::string& folder) override;
    std::intptr_t RunDialog(int templateId, DialogProcedure& procedure) override;

    void ShowTitle(const std::string& title) override;
    void BeginWork(const std::string& description, std::uint64_t total) override;
    void EndWork() override;

    // Called by the dialogs themselves while they open and close.
    void DialogOpened(HWND dialog) { openDialogs.push_back(dialog); }
    void DialogClosed() { openDialogs.pop_back(); }
    // Icon 104 at 16 x 16, for the browse buttons.
    HICON BrowseIcon() const { return browseIcon; }

  private:
    // The dialog in front, else the main window.
    HWND Owner() const;

    HINSTANCE instance;
    HWND mainWindow = nullptr;
    std::vector<HWND> openDialogs;
    HICON browseIcon = nullptr;
    HCURSOR cursorBeforeWork = nullptr;
};

}  // namespace parvane::win32
