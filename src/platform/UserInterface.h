#pragma once

// What the program asks of its front end: message boxes, the common dialogs and the program's
// own dialogs. The Win32 GUI, the terminal and the tests' scripted interface each supply one.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/ResourceIds.h"

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
    // EnableWindow on a control; a front end without greyed controls ignores it.
    virtual void EnableItem(int id, bool enabled) {
        (void)id;
        (void)enabled;
    }

    // List boxes (LB_RESETCONTENT, LB_ADDSTRING, LB_GETSELITEMS, LB_SELITEMRANGE,
    // LB_SETTABSTOPS). Lines keep the order they were added in.
    virtual void ClearList(int id) = 0;
    virtual void AddListLine(int id, const std::string& text) = 0;
    // The selected lines, ascending.
    virtual std::vector<int> SelectedListLines(int id) = 0;
    virtual void SelectListLines(int id, int first, int last, bool selected) = 0;
    // Tab stops in dialog template units.
    virtual void SetListTabStops(int id, const std::vector<int>& stops) = 0;
};

// Notification codes a control sends with WM_COMMAND.
inline constexpr int NOTIFY_CLICKED = 0;            // BN_CLICKED (buttons, menu items, Enter, Esc)
inline constexpr int NOTIFY_SELECTION_CHANGED = 1;  // LBN_SELCHANGE
inline constexpr int NOTIFY_DOUBLE_CLICKED = 2;     // LBN_DBLCLK
inline constexpr int NOTIFY_SELECTION_CANCELLED = 4;  // LBN_SELCANCEL
// Not a Windows code: the front end's word for the Del key pressed in a list box.
inline constexpr int NOTIFY_DELETE_PRESSED = 0x7F00;

// A dialog's logic: the front end draws template `templateId` and calls these.
class DialogProcedure {
  public:
    virtual ~DialogProcedure() = default;
    virtual void OnInitDialog(DialogControls& controls) = 0;
    // A WM_COMMAND from control `id` with its notification code.
    virtual void OnCommand(int id, int notification, DialogControls& controls) = 0;
};

// The Error box's text when the open dialog cannot be shown, with its code.
inline constexpr const char* OPEN_FILE_FAILED_MESSAGE =
    "Couldn't display open file dialog box, code=%d";
// What the folder browser asks, wherever the program offers it.
inline constexpr const char* BROWSE_FOR_FOLDER_INSTRUCTION =
    "Select a folder below and press OK when done.";

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
    // SHBrowseForFolderA with file-system folders only, opened at `folder` when it names one:
    // true with the chosen folder in `folder`.
    virtual bool BrowseForFolder(const std::string& instruction, std::string& folder) = 0;
    // DialogBoxParamA: the value the dialog ended with, -1 when it cannot be created.
    virtual std::intptr_t RunDialog(int templateId, DialogProcedure& procedure) = 0;

    // The main window's title: while an archive is installed it names the archive.
    virtual void ShowTitle(const std::string& title) { (void)title; }

    // A file written for the user to read (the missing-libraries report), before it is
    // opened: the terminal names it, since no web browser may come up there.
    virtual void ShowWrittenFile(const std::string& description, const std::string& path) {
        (void)description;
        (void)path;
    }

    // Lines the user should read even when no browser shows the page that holds them (the
    // missing libraries of the report): the terminal prints them, the window has the page.
    virtual void ShowLines(const std::string& heading, const std::vector<std::string>& lines) {
        (void)heading;
        (void)lines;
    }

    // Long work (unpacking an archive, copying a large file): the window shows the wait
    // cursor meanwhile, the terminal a progress line. `total` and `done` count bytes; a total
    // of 0 is unknown.
    virtual void BeginWork(const std::string& description, std::uint64_t total) {
        (void)description;
        (void)total;
    }
    virtual void AdvanceWork(std::uint64_t done) { (void)done; }
    virtual void EndWork() {}

    // Runs `work`, which may take long (an install run, removals) and may stop early when
    // IsStopRequested says so. The window program runs it off its own thread, keeps painting
    // and shows the progress with `step` ("Installing") and a Cancel button, and hands every
    // call of this interface made meanwhile to its own thread, one at a time; others run it in
    // place.
    virtual void RunLongWork(const std::string& step, const std::function<void()>& work) {
        (void)step;
        work();
    }
    // What the long work is at now (an archive's path, an entry's name), for the progress.
    virtual void ShowSubject(const std::string& subject) { (void)subject; }
};

// The process-wide user interface, set once at start-up and by each test fixture.
UserInterface& TheUserInterface();
void SetUserInterface(UserInterface* userInterface);

}  // namespace parvane
