#include "app/win32/Win32UserInterface.h"

// clang-format off
#include "platform/win32/WindowsApi.h"
#include <commdlg.h>
#include <shlobj.h>
// clang-format on

#include "ResourceIds.h"

namespace parvane::win32 {

namespace {

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

HWND Win32UserInterface::Owner() const {
    return openDialogs.empty() ? mainWindow : openDialogs.back();
}

int Win32UserInterface::ShowMessageBox(const std::string& text, const std::string& caption,
                                       std::uint32_t flags) {
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
}

bool Win32UserInterface::OpenFile(const OpenFileRequest& request, std::string& selection,
                                  std::uint32_t& dialogError) {
    // One filter entry: its description, NUL, its pattern, NUL, and the NUL that ends the list.
    std::string filter = request.filterDescription;
    filter += '\0';
    filter += request.filterPattern;
    filter += '\0';
    // Zero-filled beyond what the dialog may write, so that the selection always ends in two
    // NULs.
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
    if (!GetOpenFileNameA(&dialog)) {
        dialogError = CommDlgExtendedError();
        return false;
    }
    dialogError = 0;
    selection = SelectionOf(buffer);
    return true;
}

bool Win32UserInterface::BrowseForFolder(const std::string& instruction, std::string& folder) {
    char displayName[MAX_PATH] = {};
    BROWSEINFOA browse{};
    browse.hwndOwner = Owner();
    browse.pszDisplayName = displayName;
    browse.lpszTitle = instruction.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&browse);
    if (chosen == nullptr) {
        return false;
    }
    char path[MAX_PATH] = {};
    const bool converted = SHGetPathFromIDListA(chosen, path) != FALSE;
    CoTaskMemFree(chosen);
    if (converted) {
        folder = path;
    }
    return converted;
}

void Win32UserInterface::ShowTitle(const std::string& title) {
    if (mainWindow != nullptr) {
        SetWindowTextA(mainWindow, title.c_str());
    }
}

void Win32UserInterface::BeginWork(const std::string&, std::uint64_t) {
    // No message is handled while the work runs, so the cursor stays until EndWork.
    cursorBeforeWork = SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // IDC_WAIT
}

void Win32UserInterface::EndWork() {
    SetCursor(cursorBeforeWork);
    cursorBeforeWork = nullptr;
}

}  // namespace parvane::win32
