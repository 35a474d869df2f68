#include "uninstall/UninstallDialogs.h"

#include "base/ModalDialogs.h"
#include "uninstall/UninstallLists.h"

namespace parvane {

const UninstallListKind COURSE_LIST_KIND = {COURSE_LIST, 0, CourseListLines, UninstallCoursesAt,
                                            ShowCoursePropertiesDialog};
const UninstallListKind LIBRARY_LIST_KIND = {LIBRARY_LIST, LIBRARY_LIST_TAB_STOP, LibraryListLines,
                                             UninstallLibrariesAt, ShowLibraryPropertiesDialog};

void UninstallListDialog::OnInitDialog(DialogControls& controls) {
    Fill(controls);
}

void UninstallListDialog::OnCommand(int id, int notification, DialogControls& controls) {
    if (id == UNINSTALL_CLOSE_BUTTON) {
        controls.EndDialog(0);
    } else if (id == UNINSTALL_REMOVE_BUTTON) {
        kind.uninstallAt(controls.SelectedListLines(kind.listId));
        Fill(controls);
    } else if (id == UNINSTALL_PROPERTIES_BUTTON ||
               (id == kind.listId && notification == NOTIFY_DOUBLE_CLICKED)) {
        ShowFirstSelected(controls);
    } else if (id == kind.listId && notification == NOTIFY_SELECTION_CANCELLED && lineCount > 0) {
        controls.SelectListLines(kind.listId, 0, static_cast<int>(lineCount) - 1, false);
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
}

void UninstallListDialog::ShowFirstSelected(DialogControls& controls) {
    const std::vector<int> selected = controls.SelectedListLines(kind.listId);
    if (!selected.empty()) {
        kind.showProperties(selected.front());
    }
}

void EntryPropertiesDialog::OnInitDialog(DialogControls& controls) {
    controls.SetItemText(editId, shown);
}

void EntryPropertiesDialog::OnCommand(int id, int, DialogControls& controls) {
    if (id == UNINSTALL_CLOSE_BUTTON) {
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
