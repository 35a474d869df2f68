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
    EXPECT_EQ(InstallQueuedArchives(), 1);
    EXPECT_EQ(RegistryValue(GAME_LIBRARIES_KEY, 301), "Pines");
    EXPECT_EQ(FileNameCount(), 0);

    AddFileName(library);
    ui.ExpectError(Containing("RegOpenKeyEx returned"));
    EXPECT_EQ(InstallQueuedArchives(), 1);
    EXPECT_EQ(FileNameCount(), 0);
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
    ui.ExpectDialog(103, [&](ScriptedDialog& dialog) {
        dialog.Init();
        EXPECT_EQ(InstallDroppedArchives({bundle}), 1);
        dialog.Press(TARGET_FOLDER_OK_BUTTON);
    });
    ui.ExpectWarning(Containing("Archives dropped while others are being installed"));
    ui.ExpectInformation("Installation complete.");
    EXPECT_EQ(InstallDroppedArchives({Scratch(), bundle}), 1);
    EXPECT_EQ(RegistryValue(GAME_LIBRARIES_KEY, 302), "Reeds");
    EXPECT_EQ(GetProperty(PROPERTY_OPEN_ARCHIVE_FOLDER), Scratch());
    EXPECT_EQ(FileNameCount(), 0);
}

}  // namespace
}  // namespace parvane
