#pragma once

// What the program asks of its front end: message boxes, the common dialogs and the program's
// own dialogs. The Win32 GUI, the terminal and the tests' scripted interface each supply one.

#include <cstdint>
#include <string>

namespace parvane {

// The controls of a running dialog, as its procedure sees them.
class DialogControls {
public:
    virtual ~DialogControls() = default;
    virtual std::string ItemText(int id) = 0;
    virtual void SetItemText(int id, const std::string& text) = 0;
    virtual bool IsItemChecked(int id) = 0;
    virtual void CheckItem(int id, bool checked) = 0;
    virtual void EndDialog(std::intptr_t result) = 0;
};

// A dialog's logic: the front end draws template `templateId` and calls these.
class DialogProcedure {
public:
    virtual ~DialogProcedure() = default;
    virtual void OnInitDialog(DialogControls& controls) = 0;
    // A WM_COMMAND from control `id`.
    virtual void OnCommand(int id, DialogControls& controls) = 0;
};

// GetOpenFileNameA's settings, as the program fills them.
struct OpenFileRequest {
    std::string title;
    std::string filterDescription;
    std::string filterPattern;
    std::string initialFolder;
    std::string defaultExtension;
    std::uint32_t flags = 0;
    std::uint32_t bufferSize = 256;
};

class UserInterface {
public:
    virtual ~UserInterface() = default;
    // MessageBoxA with no owner: the button pressed, 0 when the box cannot be shown.
    virtual int ShowMessageBox(const std::string& text, const std::string& caption,
                               std::uint32_t flags) = 0;
    // GetOpenFileNameA: true with the selection buffer's content (for several files: the
    // folder, NUL, each name, NUL, and a final NUL); false with CommDlgExtendedError's code,
    // 0 when the user cancelled.
    virtual bool OpenFile(const OpenFileRequest& request, std::string& selection,
                          std::uint32_t& dialogError) = 0;
    // SHBrowseForFolderA with file-system folders only: true with the chosen folder.
    virtual bool BrowseForFolder(const std::string& instruction, std::string& folder) = 0;
    // DialogBoxParamA: the value the dialog ended with, -1 when it cannot be created.
    virtual std::intptr_t RunDialog(int templateId, DialogProcedure& procedure) = 0;
};

// The process-wide user interface, set once at start-up and by each test fixture.
UserInterface& TheUserInterface();
void SetUserInterface(UserInterface* userInterface);

}  // namespace parvane
