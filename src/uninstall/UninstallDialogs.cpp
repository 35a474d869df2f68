#include "uninstall/UninstallDialogs.h"

#include "base/ModalDialogs.h"
#include "uninstall/UninstallLists.h"

namespace parvane {

const UninstallListKind COURSE_LIST_KIND = {COURSE_LIST, 0, CourseListLines, UninstallCoursesAt,
                                            ShowCoursePropertiesDialog};
const UninstallListKind LIBRARY_LIST_KIND = {LIBRARY_LIST, LIBRARY_LIST_TAB_STOP, LibraryListLines,
                                             UninstallLibrariesAt, ShowLibraryPropertiesDialog};

UninstallButtonStates UninstallButtonsFor(std::size_t selectedCount) {
    // Both act on the selection: with none they would do nothing.
    const bool anySelected = selectedCount > 0;
    return {.uninstall = anySelected, .properties = anySelected};
}

void UninstallListDialog::OnInitDialog(DialogControls& controls) {
    Fill(controls);
}

void UninstallListDialog::OnCommand(int id, int notification, DialogControls& controls) {
    const bool fromList = id == kind.listId;
    if (id == UNINSTALL_CLOSE_BUTTON || id == DIALOG_ESCAPE) {
        controls.EndDialog(0);
    } else if (id == UNINSTALL_REMOVE_BUTTON ||
               (fromList && notification == NOTIFY_DELETE_PRESSED &&
                !controls.SelectedListLines(kind.listId).empty())) {
        UninstallSelected(controls);
    } else if (id == UNINSTALL_PROPERTIES_BUTTON ||
               (fromList && notification == NOTIFY_DOUBLE_CLICKED)) {
        ShowEachSelected(controls);
    } else if (fromList && notification == NOTIFY_SELECTION_CANCELLED && lineCount > 0) {
        controls.SelectListLines(kind.listId, 0, static_cast<int>(lineCount) - 1, false);
        ShowButtonStates(controls);
    } else if (fromList && notification == NOTIFY_SELECTION_CHANGED) {
        ShowButtonStates(controls);
    }
}

void UninstallListDialog::Fill(DialogControls& controls) {
    controls.ClearList(kind.listId);
    if (kind.tabStop > 0) {
        controls.SetListTabStops(kind.listId, {kind.tabStop});
    }
    const std::vector<std::string> lines = kind.lines();
    for (const std::string& line : lines) {
        controls.AddListLine(kind.listId, line);
    }
    lineCount = lines.size();
    ShowButtonStates(controls);
}

void UninstallListDialog::ShowButtonStates(DialogControls& controls) {
    const UninstallButtonStates states =
        UninstallButtonsFor(controls.SelectedListLines(kind.listId).size());
    controls.EnableItem(UNINSTALL_REMOVE_BUTTON, states.uninstall);
    controls.EnableItem(UNINSTALL_PROPERTIES_BUTTON, states.properties);
}

void UninstallListDialog::UninstallSelected(DialogControls& controls) {
    const std::vector<int> selected = controls.SelectedListLines(kind.listId);
    TheUserInterface().RunLongWork("Uninstalling", [&] { kind.uninstallAt(selected); });
    Fill(controls);
}

void UninstallListDialog::ShowEachSelected(DialogControls& controls) {
    for (const int line : controls.SelectedListLines(kind.listId)) {
        kind.showProperties(line);
    }
}

void EntryPropertiesDialog::OnInitDialog(DialogControls& controls) {
    controls.SetItemText(editId, shown);
}

void EntryPropertiesDialog::OnCommand(int id, int, DialogControls& controls) {
    if (id == UNINSTALL_CLOSE_BUTTON || id == DIALOG_ESCAPE) {
        controls.EndDialog(0);
    }
}

void ShowUninstallCourseDialog() {
    UninstallListDialog dialog(COURSE_LIST_KIND);
    RunModalDialog(UNINSTALL_COURSE_DIALOG, dialog);
}

void ShowUninstallLibraryDialog() {
    UninstallListDialog dialog(LIBRARY_LIST_KIND);
    RunModalDialog(UNINSTALL_LIBRARY_DIALOG, dialog);
}

void ShowCoursePropertiesDialog(int line) {
    if (const CourseRecord* course = CourseAtListLine(line)) {
        EntryPropertiesDialog dialog(COURSE_PROPERTIES_TEXT, CoursePropertiesText(*course));
        RunModalDialog(COURSE_PROPERTIES_DIALOG, dialog);
    }
}

void ShowLibraryPropertiesDialog(int line) {
    if (const LibraryRecord* library = LibraryAtListLine(line)) {
        EntryPropertiesDialog dialog(LIBRARY_PROPERTIES_TEXT, LibraryPropertiesText(*library));
        RunModalDialog(LIBRARY_PROPERTIES_DIALOG, dialog);
    }
}

}  // namespace parvane
