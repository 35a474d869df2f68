#include <gtest/gtest.h>

#include "uninstall/InstalledContent.h"
#include "uninstall/UninstallDialogs.h"
#include "uninstall/UninstallLists.h"

namespace parvane::test {
namespace {

using Lines = std::vector<std::string>;

class UninstallLists : public InstalledContentTest {
  protected:
    void ExpectRemoval(const std::string& name) {
        ui.ExpectYesNo(DefaultButton::No, Containing("uninstall '" + name + "'"), ANSWER_YES);
        ui.ExpectInformation("Course '" + name + "' uninstalled successfully");
    }
};

TEST_F(UninstallLists, LinesShowStockMarkerCloakedNoteAndUsage) {
    AddEntry(GAME_COURSES_KEY, std::string(StockCourseGuids[0]),
             {{"Name", "Stock"}, {"Filename", ""}});
    AddCourse(Folder("Pine"), "Pine", "Pine", {7, 9});
    AddCourse(Folder("Oak"), "Oak", "Oak", {7}, CLOAK_COURSES_KEY);
    AddLibrary(Folder("Trees"), 7, CLOAK_LIBRARIES_KEY);
    AddLibrary(Folder("Trees"), 8);
    AddLibrary(Folder("Rocks"), 9);
    Load();

    EXPECT_EQ(CourseListLines(), (Lines{"   Pine", "+ Stock", "   Oak (Cloaked)"}));
    EXPECT_EQ(LibraryListLines(), (Lines{"   Lib 8", "   Lib 9\t(1)", "   Lib 7 (Cloaked) \t(2)"}));
    EXPECT_EQ(LibraryPropertiesText(*LibraryAtListLine(2)),
              "\r\n   Library name:\tLib 7\r\n   File name:\tLib7.tcl\r\n   Location:\t" +
                  Folder("Trees") +
                  "\r\n\r\n   This library is used by 2 of the installed courses");
}

TEST_F(UninstallLists, UninstallRemovesTheSelectionInListOrderAndRebuildsTheList) {
    for (const char* name : {"Ash", "Birch", "Cedar", "Elm"})
        AddCourse(Folder(name), name, name);
    Load();
    ui.ExpectDialog(107, [](ScriptedDialog& dialog) {
        dialog.Init();
        dialog.Select(COURSE_LIST, {3, 0, 2});
        dialog.Press(UNINSTALL_REMOVE_BUTTON);
        EXPECT_EQ(dialog.ListLines(COURSE_LIST), Lines{"   Birch"});
        dialog.Press(UNINSTALL_REMOVE_BUTTON);  // nothing selected: the list is only rebuilt
        EXPECT_EQ(dialog.ListLines(COURSE_LIST), Lines{"   Birch"});
        dialog.Press(2);
        dialog.Press(UNINSTALL_CLOSE_BUTTON);
    });
    for (const char* name : {"Ash", "Cedar", "Elm"})
        ExpectRemoval(name);

    ShowUninstallCourseDialog();

    EXPECT_EQ(CourseListLines(), Lines{"   Birch"});
}

}  // namespace
}  // namespace parvane::test
