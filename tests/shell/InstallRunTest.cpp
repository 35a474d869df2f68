#include <gtest/gtest.h>

#include <string>

#include "base/RegistryRoots.h"
#include "shell/FileNameList.h"
#include "shell/InstallRun.h"
#include "support/FaultInjectingMachine.h"
#include "support/InstallFixture.h"

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

    // The inner archives of a MyZip archive chosen in the open dialog go with the queue.
    const std::string myZip = Package({{"b.zip", test::ZipText({{"x.tcl", "x"}})}}, "m.zip");
    const std::vector<std::string> before = test::FilesBelow(Scratch());
    ui.ExpectOpenFile(myZip);
    ui.ExpectInformation(Containing("is a MyZip archive"));
    ui.ExpectError(Containing("RegOpenKeyEx returned"));
    EXPECT_EQ(InstallQueuedArchives(), 1);
    EXPECT_EQ(test::FilesBelow(Scratch()), before);
}

}  // namespace
}  // namespace parvane
