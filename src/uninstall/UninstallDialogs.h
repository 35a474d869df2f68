#pragma once

// The four dialogs of uninstalling: the course and library lists (DIALOG_UNINSTALL_COURSE and
// DIALOG_UNINSTALL_LIBRARY) and the read-only properties of one entry (DIALOG_COURSE_PROPERTIES
// and DIALOG_LIBRARY_PROPERTIES). The procedures hold the whole logic; the front end only draws
// the templates.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/ResourceIds.h"
#include "platform/UserInterface.h"

namespace parvane {

// What differs between the course and the library list dialog.
struct UninstallListKind {
    int listId;
    int tabStop;  // 0: none
    std::vector<std::string> (*lines)();
    int (*uninstallAt)(const std::vector<int>& lines);
    void (*showProperties)(int line);
};

extern const UninstallListKind COURSE_LIST_KIND;
extern const UninstallListKind LIBRARY_LIST_KIND;

// Which of the buttons that act on the selection can be pressed.
struct UninstallButtonStates {
    bool uninstall;
    bool properties;
};
UninstallButtonStates UninstallButtonsFor(std::size_t selectedCount);

// Uninstall (or Del in the list) removes the selected entries, off the window's thread, and
// rebuilds the list; Properties... (Enter, a double click) shows each selected entry in turn.
// Close, Esc and the close box close it. Uninstall and Properties... are greyed while nothing
// is selected.
class UninstallListDialog : public DialogProcedure {
  public:
    explicit UninstallListDialog(const UninstallListKind& listKind) : kind(listKind) {}
    void OnInitDialog(DialogControls& controls) override;
    void OnCommand(int id, int notification, DialogControls& controls) override;

  private:
    void Fill(DialogControls& controls);
    void ShowButtonStates(DialogControls& controls);
    void UninstallSelected(DialogControls& controls);
    void ShowEachSelected(DialogControls& controls);

    const UninstallListKind& kind;
    std::size_t lineCount = 0;
};

// Shows a fixed text in its edit control; Close, Enter, Esc and the close box close it.
class EntryPropertiesDialog : public DialogProcedure {
  public:
    EntryPropertiesDialog(int textId, std::string text) : editId(textId), shown(std::move(text)) {}
    void OnInitDialog(DialogControls& controls) override;
    void OnCommand(int id, int notification, DialogControls& controls) override;

  private:
    int editId;
    std::string shown;
};

void ShowUninstallCourseDialog();
void ShowUninstallLibraryDialog();
// The properties of the entry on list line `line`; nothing when there is none.
void ShowCoursePropertiesDialog(int line);
void ShowLibraryPropertiesDialog(int line);

}  // namespace parvane
