#include <gtest/gtest.h>

#include <string>

#include "base/RegistryRoots.h"
#include "installer/TargetFolderDialog.h"
#include "properties/Properties.h"
#include "shell/FileNameList.h"
#include "shell/InstallRun.h"
#include "support/FaultInjectingMachine.h"
#include "support/InstallFixture.h"
#include "support/ZipFiles.h"

namespace parvane {
namespace {

using InstallRun = test::InstallTest;

// Archives queued as they stand are installed in order, each with its own outcome, after one
// catalogue load for the run; a catalogue that cannot be loaded installs nothing. Either way
// the queue is empty afterwards.
TEST_F(InstallRun, InstallsTheQueueInOrderAfterOneCatalogueLoad) {
    const std::string nothing = Package({{"readme.txt", "text"}}, "a.zip");
    const std::string library = Package({{"Pines.tcl", test::LibraryData("Pines", 301)}}, "b.zip");
    test::FaultInjectingMachine faults;
    faults.Inject({.call = test::MachineCall::OpenKey,
                   .first = 2,
                   .count = test::EVERY_CALL,
                   .pathPart = "06\\Courses"});
    AddFileName(nothing);
    AddFileName(library);
    ui.ExpectError(Containing("does not appear\nto be a course or library package."));
    ui.ExpectError("Installation not complete.");
    ui.ExpectInformation("Installation complete.");
    ui.ExpectInformation(
        "What this run did:\n"
        "\na.zip: not installed: The installation archive you selected does not appear"
        "\nb.zip: installed in " +
        LibraryFolder("Pines"));
    EXPECT_EQ(InstallQueuedArchives().notInstalled, 1);
    EXPECT_EQ(RegistryValue(GAME_LIBRARIES_KEY, 301), "Pines");
    EXPECT_EQ(FileNameCount(), 0);

    AddFileName(library);
    ui.ExpectError(Containing("RegOpenKeyEx returned"));
    EXPECT_EQ(InstallQueuedArchives().notInstalled, 1);
    EXPECT_EQ(FileNameCount(), 0);

    // The inner archives of a MyZip archive chosen in the open dialog go with the queue, and
    // with them the folder it was unpacked into.
    const std::string myZip = Package({{"b.zip", test::ZipText({{"x.tcl", "x"}})}}, "m.zip");
    std::string temp;
    ASSERT_EQ(TheMachine().TempPath(temp), ERR_SUCCESS);
    const std::vector<std::string> before = test::FilesBelow(temp);
    ui.ExpectOpenFile(myZip);
    ui.ExpectInformation(Containing("is a MyZip archive"));
    ui.ExpectError(Containing("RegOpenKeyEx returned"));
    EXPECT_EQ(InstallQueuedArchives().notInstalled, 1);
    EXPECT_EQ(test::FilesBelow(temp), before);
}

// A run of several archives ends with one account of them: each library of a package with
// its folder or why it was left out, and an archive the player declined, whose own closing
// message is then no error.
TEST_F(InstallRun, SummaryNamesEachLibraryOfAPackageAndTheDeclinedArchive) {
    AddInstalledLibrary("Ash", test::LibraryData("Ash", 403));
    const std::string trees = Package({{"Oak.tcl", test::LibraryData("Oak", 401)},
                                       {"Elm.tcl", test::LibraryData("Elm", 402)},
                                       {"Ash.tcl", test::LibraryData("Ash", 403)}},
                                      "Trees.zip");
    const std::string pines = Package({{"Pines.tcl", test::LibraryData("Pines", 301)}}, "p.zip");
    SetProperty(PROPERTY_ASK_FOR_TARGET_FOLDER, "1");
    AddFileName(trees);
    AddFileName(pines);
    const auto expectFolderDialog = [this](int button) {
        ui.ExpectDialog(DIALOG_TARGET_FOLDER, [button](ScriptedDialog& dialog) {
            dialog.Init();
            dialog.Press(button);
        });
    };
    ui.ExpectYesNo(DefaultButton::Yes, Containing("multiple libraries"), ANSWER_YES);
    expectFolderDialog(TARGET_FOLDER_OK_BUTTON);
    ui.ExpectError(Containing("but that library is already installed"));
    expectFolderDialog(TARGET_FOLDER_CANCEL_BUTTON);
    expectFolderDialog(TARGET_FOLDER_OK_BUTTON);
    ui.ExpectError("Installation not complete.");
    expectFolderDialog(TARGET_FOLDER_CANCEL_BUTTON);
    ui.ExpectInformation("Installation not complete.");
    ui.ExpectInformation(
        "What this run did:\n\nTrees.zip: 3 libraries:"
        "\n      Ash: skipped: already installed"
        "\n      Elm: not installed: declined by the player"
        "\n      Oak: installed in " +
        LibraryFolder("Oak") + "\np.zip: not installed: declined by the player");
    EXPECT_EQ(InstallQueuedArchives().notInstalled, 2);
}

// Archives dropped on the window are queued as the open dialog queues its selection (their
// folder remembered, a folder refused), MyZip archives are expanded, and the run installs
// them without offering the open dialog. A drop while that goes on (a dialog of it is open)
// is refused, and the run goes on undisturbed.
TEST_F(InstallRun, DroppedArchivesAreInstalledAsIfChosenInTheOpenDialog) {
    const std::string bundle =
        Package({{"Reeds.zip", test::ZipText({{"Reeds.tcl", test::LibraryData("Reeds", 302)}})}},
                "Bundle.zip");
    SetProperty(PROPERTY_REMEMBER_OPEN_ARCHIVE_FOLDER, "1");
    SetProperty(PROPERTY_ASK_FOR_TARGET_FOLDER, "1");
    ui.ExpectError("'" + Scratch() + "' is a folder, not an installation archive.");
    ui.ExpectInformation(Containing("the selected file '" + bundle + "' is a MyZip archive."));
    ui.ExpectDialog(DIALOG_TARGET_FOLDER, [&](ScriptedDialog& dialog) {
        dialog.Init();
        EXPECT_EQ(InstallDroppedArchives({bundle}).notInstalled, 1);
        dialog.Press(TARGET_FOLDER_OK_BUTTON);
    });
    ui.ExpectWarning(Containing("Archives dropped while others are being installed"));
    ui.ExpectInformation("Installation complete.");
    EXPECT_EQ(InstallDroppedArchives({Scratch(), bundle}).notInstalled, 1);
    EXPECT_EQ(RegistryValue(GAME_LIBRARIES_KEY, 302), "Reeds");
    EXPECT_EQ(GetProperty(PROPERTY_OPEN_ARCHIVE_FOLDER), Scratch());
    EXPECT_EQ(FileNameCount(), 0);
}

// Without a temporary folder nothing can be installed: the run stops at its first archive with
// that Error box alone (no outcome, no summary) and tells its caller to end the program.
TEST_F(InstallRun, WithoutATemporaryFolderTheRunEndsTheProgram) {
    const std::string library = Package({{"Pines.tcl", test::LibraryData("Pines", 301)}}, "a.zip");
    AddFileName(library);
    AddFileName(library);
    test::FaultInjectingMachine faults;
    faults.Inject({.call = test::MachineCall::TempPath, .error = ERR_ACCESS_DENIED});
    ui.ExpectError("Couldn't get temporary path, return code=5");
    EXPECT_TRUE(InstallQueuedArchives().endsProgram);
    EXPECT_EQ(faults.CallPaths(test::MachineCall::MakeFolder), std::vector<std::string>{});
    EXPECT_EQ(FileNameCount(), 0);
}

}  // namespace
}  // namespace parvane
