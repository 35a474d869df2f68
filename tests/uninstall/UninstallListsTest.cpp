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
    // A name too long for a line gives way in its middle; the marker and the note stay whole.
    AddEntry(CLOAK_COURSES_KEY, "{7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01}",
             {{"Name", std::string(254, 'n') + "z"}, {"Filename", ""}});
    AddLibrary(Folder("Trees"), 7, CLOAK_LIBRARIES_KEY);
    AddLibrary(Folder("Trees"), 8);
    AddLibrary(Folder("Rocks"), 9);
    Load();

    EXPECT_EQ(CourseListLines(),
              (Lines{"   Pine", "+ Stock",
                     "   " + std::string(120, 'n') + "..." + std::string(118, 'n') + "z (Cloaked)",
                     "   Oak (Cloaked)"}));
    EXPECT_EQ(LibraryListLines(), (Lines{"   Lib 8", "   Lib 9\t(1)", "   Lib 7 (Cloaked) \t(2)"}));
    EXPECT_EQ(LibraryPropertiesText(*LibraryAtListLine(2)),
              "\r\n   Library name:\tLib 7\r\n   File name:\tLib7.tcl\r\n   Location:\t" +
                  Folder("Trees") +
                  "\r\n\r\n   This library is used by 2 of the installed courses");
}

// Uninstall and Properties... can be pressed only with a selection; Del uninstalls like the
// button; Properties... shows each selected entry in turn; Esc closes.
TEST_F(UninstallLists, UninstallRemovesTheSelectionInListOrderAndRebuildsTheList) {
    for (const char* name : {"Ash", "Birch", "Cedar", "Elm", "Fir"})
        AddCourse(Folder(name), name, name);
    Load();
    const auto buttonsEnabled = [](ScriptedDialog& dialog) {
        return std::pair{dialog.IsItemEnabled(UNINSTALL_REMOVE_BUTTON),
                         dialog.IsItemEnabled(UNINSTALL_PROPERTIES_BUTTON)};
    };
    ui.ExpectDialog(DIALOG_UNINSTALL_COURSE, [&](ScriptedDialog& dialog) {
        dialog.Init();
        EXPECT_EQ(buttonsEnabled(dialog), std::pair(false, false));
        dialog.Select(COURSE_LIST, {3, 0, 2});
        EXPECT_EQ(buttonsEnabled(dialog), std::pair(true, true));
        dialog.Press(UNINSTALL_PROPERTIES_BUTTON);
        dialog.Press(UNINSTALL_REMOVE_BUTTON);
        EXPECT_EQ(dialog.ListLines(COURSE_LIST), (Lines{"   Birch", "   Fir"}));
        EXPECT_EQ(buttonsEnabled(dialog), std::pair(false, false));
        dialog.Notify(COURSE_LIST, NOTIFY_DELETE_PRESSED);  // nothing selected: nothing done
        dialog.Select(COURSE_LIST, {1});
        dialog.Notify(COURSE_LIST, NOTIFY_DELETE_PRESSED);
        EXPECT_EQ(dialog.ListLines(COURSE_LIST), Lines{"   Birch"});
        dialog.Press(DIALOG_ESCAPE);
        EXPECT_TRUE(dialog.HasEnded());
    });
    for (const char* name : {"Ash", "Cedar", "Elm"}) {
        ui.ExpectDialog(DIALOG_COURSE_PROPERTIES, [name](ScriptedDialog& dialog) {
            dialog.Init();
            EXPECT_NE(dialog.ItemText(COURSE_PROPERTIES_TEXT).find(name), std::string::npos);
            dialog.Press(DIALOG_ESCAPE);
            EXPECT_TRUE(dialog.HasEnded());
        });
    }
    for (const char* name : {"Ash", "Cedar", "Elm", "Fir"})
        ExpectRemoval(name);

    ShowUninstallCourseDialog();

    EXPECT_EQ(CourseListLines(), Lines{"   Birch"});
}

}  // namespace
}  // namespace parvane::test
