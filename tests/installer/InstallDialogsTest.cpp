#include <gtest/gtest.h>

#include <string>

#include "installer/FlagFileDialog.h"
#include "installer/InstallRecord.h"
#include "installer/TargetFolderDialog.h"
#include "properties/Properties.h"
#include "support/InstallFixture.h"

namespace parvane {
namespace {

struct TypedFolderCase {
    const char* name;
    int installType;
    std::string typed;    // "<file>" and "<folder>": an existing file or folder
    std::string message;  // what OK raises, "%s" standing for the typed text; empty for nothing
    int answer;           // to a question
    bool accepted;
};

class TargetFolderTyping : public test::InstallTest,
                           public ::testing::WithParamInterface<TypedFolderCase> {};

// What OK does with the text in the edit box: a refused text leaves the dialog open, and
// Cancel then leaves the caller's folder as it was.
TEST_P(TargetFolderTyping, AcceptsOnlyAFullPathOfANewOrExistingFolder) {
    const TypedFolderCase& c = GetParam();
    machine.WriteFile(Scratch() + "\\file.dat", "");
    const std::string typed = c.typed == "<file>"     ? Scratch() + "\\file.dat"
                              : c.typed == "<folder>" ? Scratch()
                                                      : c.typed;
    TheInstallRecord().installType = c.installType;
    ui.ExpectDialog(DIALOG_TARGET_FOLDER, [&](ScriptedDialog& dialog) {
        dialog.Init();
        EXPECT_EQ(dialog.ItemText(TARGET_FOLDER_EDIT), "C:\\Opened");
        dialog.SetItemText(TARGET_FOLDER_EDIT, typed);
        dialog.Press(TARGET_FOLDER_OK_BUTTON);
        EXPECT_EQ(dialog.HasEnded(), c.accepted);
        if (!dialog.HasEnded()) {
            EXPECT_EQ(dialog.ItemText(TARGET_FOLDER_EDIT), typed);
            dialog.Press(TARGET_FOLDER_CANCEL_BUTTON);
        }
    });
    std::string message = c.message;
    if (const std::size_t at = message.find("%s"); at != std::string::npos)
        message.replace(at, 2, typed);
    if (c.answer != 0) {
        ui.ExpectYesNo(DefaultButton::No, message, c.answer);
    } else if (!message.empty()) {
        ui.ExpectError(message);
    }
    std::string folder = "C:\\Opened";
    EXPECT_EQ(TargetFolderDialog(folder), c.accepted);
    EXPECT_EQ(folder, c.accepted ? typed : "C:\\Opened");
}

const std::string EMPTY =
    "No target folder was given.\nType a full path, starting with a drive letter (such as C:\\), "
    "and try again.";
const std::string NOT_FULL =
    "The path '%s' is not a full path.\nType a full path, starting with a drive letter (such as "
    "C:\\), and try again.";
const std::string TOO_LONG =
    "The path '%s' is longer than 255 characters.\nChange the path and try again.";
const std::string NOT_A_FOLDER =
    "The path you typed is not a folder.\nChange the path and try again.";
const std::string EXISTS =
    "The folder '%s' already exists!\nInstalling into this folder may cause some files to be "
    "overwritten.\n\nDo you want to install into this folder anyway?";
const int COURSE = INSTALL_TYPE_COURSE;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, TargetFolderTyping, ::testing::Values(
    TypedFolderCase{"Empty", COURSE, "", EMPTY, 0, false},
    TypedFolderCase{"Relative", COURSE, "Games\\Golf", NOT_FULL, 0, false},
    TypedFolderCase{"TooLong", COURSE, "C:\\" + std::string(253, 'x'), TOO_LONG, 0, false},
    TypedFolderCase{"ExistingFile", INSTALL_TYPE_LIBRARY, "<file>", NOT_A_FOLDER, 0, false},
    TypedFolderCase{"ExistingFolderNo", COURSE, "<folder>", EXISTS, ANSWER_NO, false},
    TypedFolderCase{"ExistingFolderYes", COURSE, "<folder>", EXISTS, ANSWER_YES, true},
    TypedFolderCase{"ExistingFolderOfALibrary", INSTALL_TYPE_LIBRARIES, "<folder>", "", 0, true},
    TypedFolderCase{"NewFolder", COURSE, "c:\\New Folder\\Course", "", 0, true}),
    test::RowName());
// clang-format on

using InstallDialogs = test::InstallTest;

TEST_F(InstallDialogs, ATypedFolderIsKeptWithSingleBackslashes) {
    TheInstallRecord().installType = COURSE;
    ui.ExpectDialog(DIALOG_TARGET_FOLDER, [&](ScriptedDialog& dialog) {
        dialog.Init();
        dialog.SetItemText(TARGET_FOLDER_EDIT, "c:/New//Folder/Course");
        dialog.Press(TARGET_FOLDER_OK_BUTTON);
    });
    std::string folder = "C:\\Opened";
    EXPECT_TRUE(TargetFolderDialog(folder));
    EXPECT_EQ(folder, "c:\\New\\Folder\\Course");
}

TEST_F(InstallDialogs, TheFlagDialogCancelledChoosesNoFlag) {
    std::string path = "x";
    ui.ExpectOpenFileFailure(0);  // cancelled: no flag
    EXPECT_TRUE(FlagFileDialog(path));
    EXPECT_EQ(path, "");
}

}  // namespace
}  // namespace parvane
