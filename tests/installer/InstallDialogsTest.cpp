#include <gtest/gtest.h>

#include <string>

#include "installer/ConfirmInstall.h"
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
    std::string message;  // the box OK raises, empty for none
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
    std::string typed = c.typed;
    if (typed == "<file>") {
        typed = Scratch() + "\\file.dat";
    } else if (typed == "<folder>") {
        typed = Scratch();
    }
    TheInstallRecord().installType = c.installType;
    const std::string opened = Scratch() + "\\Opened";
    ui.ExpectDialog(103, [&](ScriptedDialog& dialog) {
        dialog.Init();
        EXPECT_EQ(dialog.ItemText(TARGET_FOLDER_EDIT), opened);
        dialog.SetItemText(TARGET_FOLDER_EDIT, typed);
        dialog.Press(TARGET_FOLDER_OK_BUTTON);
        EXPECT_EQ(dialog.HasEnded(), c.accepted);
        if (!dialog.HasEnded()) {
            EXPECT_EQ(dialog.ItemText(TARGET_FOLDER_EDIT), typed);
            dialog.Press(TARGET_FOLDER_CANCEL_BUTTON);
        }
    });
    std::string message = c.message;
    if (const std::size_t at = message.find("%s"); at != std::string::npos) {
        message.replace(at, 2, typed);
    }
    if (c.answer != 0) {
        ui.ExpectYesNo(DefaultButton::No, message, c.answer);
    } else if (!message.empty()) {
        ui.ExpectError(message);
    }
    std::string folder = opened;
    EXPECT_EQ(TargetFolderDialog(folder), c.accepted);
    EXPECT_EQ(folder, c.accepted ? typed : opened);
}

const std::string FULL_PATH_WANTED =
    "' is not a full path.\nType a full path, starting with a drive letter (such as C:\\), and "
    "try again.";
const std::string EXISTING_FOLDER =
    "The folder '%s' already exists!\nInstalling into this folder may cause some files to be "
    "overwritten.\n\nDo you want to install into this folder anyway?";

INSTANTIATE_TEST_SUITE_P(
    Texts, TargetFolderTyping,
    ::testing::Values(
        TypedFolderCase{"Empty", INSTALL_TYPE_COURSE, "",
                        "No target folder was given.\nType a full path, starting with a drive "
                        "letter (such as C:\\), and try again.",
                        0, false},
        TypedFolderCase{"Relative", INSTALL_TYPE_COURSE, "Games\\Golf",
                        "The path 'Games\\Golf" + FULL_PATH_WANTED, 0, false},
        TypedFolderCase{"DriveOnly", INSTALL_TYPE_LIBRARY, "d:", "The path 'd:" + FULL_PATH_WANTED,
                        0, false},
        TypedFolderCase{"TooLong", INSTALL_TYPE_COURSE, "C:\\" + std::string(253, 'x'),
                        "The path '%s' is longer than 255 characters.\nChange the path and try "
                        "again.",
                        0, false},
        TypedFolderCase{"ExistingFile", INSTALL_TYPE_LIBRARY, "<file>",
                        "The path you typed is not a folder.\nChange the path and try again.", 0,
                        false},
        TypedFolderCase{"ExistingFolderNo", INSTALL_TYPE_COURSE, "<folder>", EXISTING_FOLDER,
                        ANSWER_NO, false},
        TypedFolderCase{"ExistingFolderYes", INSTALL_TYPE_COURSE, "<folder>", EXISTING_FOLDER,
                        ANSWER_YES, true},
        TypedFolderCase{"ExistingFolderForALibrary", INSTALL_TYPE_LIBRARIES, "<folder>", "", 0,
                        true},
        TypedFolderCase{"NewFolder", INSTALL_TYPE_COURSE, "c:\\New Folder\\Course", "", 0, true}),
    test::RowName());

using InstallDialogs = test::InstallTest;

TEST_F(InstallDialogs, UndoBringsBackTheFolderTheDialogOpenedWith) {
    ui.ExpectDialog(103, [](ScriptedDialog& dialog) {
        dialog.Init();
        dialog.Press(TARGET_FOLDER_BROWSE_BUTTON);
        EXPECT_EQ(dialog.ItemText(TARGET_FOLDER_EDIT), "D:\\Picked");
        dialog.Press(TARGET_FOLDER_BROWSE_BUTTON);
        EXPECT_EQ(dialog.ItemText(TARGET_FOLDER_EDIT), "D:\\Picked");
        dialog.Press(TARGET_FOLDER_UNDO_BUTTON);
        EXPECT_EQ(dialog.ItemText(TARGET_FOLDER_EDIT), "C:\\Opened");
        dialog.Press(TARGET_FOLDER_OK_BUTTON);
    });
    ui.ExpectBrowseForFolder("D:\\Picked");
    ui.ExpectBrowseForFolderCancelled();
    std::string folder = "C:\\Opened";
    EXPECT_TRUE(TargetFolderDialog(folder));
    EXPECT_EQ(folder, "C:\\Opened");
    EXPECT_EQ(ui.LastBrowseInstruction(), "Select a folder below and press OK when done.");

    ui.ExpectDialogCreationFailure(103);
    ui.ExpectError("Couldn't display folder selection dialog box");
    EXPECT_FALSE(TargetFolderDialog(folder));
}

TEST_F(InstallDialogs, APickedFlagMovesTheFolderTheNextDialogOpensIn) {
    SetProperty(PROPERTY_ASK_FOR_FLAG_FOLDER, "C:\\Flags");
    ui.ExpectOpenFile("D:\\Clubs\\Red\\flag.dds");
    std::string path;
    EXPECT_TRUE(FlagFileDialog(path));
    EXPECT_EQ(path, "D:\\Clubs\\Red\\flag.dds");
    const OpenFileRequest& request = ui.LastOpenFileRequest();
    EXPECT_EQ(request.title, "Open flag file");
    EXPECT_EQ(request.filterDescription, "Flag files (*.dds)");
    EXPECT_EQ(request.filterPattern, "*.dds");
    EXPECT_EQ(request.initialFolder, "C:\\Flags");
    EXPECT_EQ(request.defaultExtension, "dds");
    EXPECT_EQ(request.flags, 0x81804u);

    ui.ExpectOpenFileFailure(0);
    EXPECT_TRUE(FlagFileDialog(path));
    EXPECT_EQ(path, "");
    EXPECT_EQ(ui.LastOpenFileRequest().initialFolder, "D:\\Clubs\\Red");

    ui.ExpectOpenFileFailure(0x3003);
    ui.ExpectError("Couldn't display open file dialog box, code=12291");
    EXPECT_FALSE(FlagFileDialog(path));
}

TEST_F(InstallDialogs, TheConfirmationNamesTheTypeAndTheTargetFolder) {
    TheInstallRecord().targetFolder = "C:\\Games\\GV06\\libraries\\Trees";
    for (const int type : {INSTALL_TYPE_LIBRARY, INSTALL_TYPE_COURSE}) {
        TheInstallRecord().installType = type;
        const std::string kind = type == INSTALL_TYPE_COURSE ? "Course" : "Library";
        const int answer = type == INSTALL_TYPE_COURSE ? ANSWER_YES : ANSWER_NO;
        ui.ExpectYesNo(DefaultButton::Yes,
                       "Parvane has collected all information needed to\nproceed with this "
                       "installation.\n\nInstall type: " +
                           kind +
                           "\nTarget path: C:\\Games\\GV06\\libraries\\Trees\n\nOk to proceed "
                           "with the installation?",
                       answer);
        EXPECT_EQ(ConfirmInstall(), answer == ANSWER_YES);
    }
}

}  // namespace
}  // namespace parvane
