// The Wine machine over a prefix sees changes made beside it.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "support/TestMachine.h"
#include "support/wine/WineTestMachine.h"

namespace parvane::wine {
namespace {

// Another program's changes on the host are seen as soon as they are made: in a folder read
// just after a change, and in one left alone long enough for its times to tell every change.
TEST(WineMachineFiles, ChangesMadeByOtherProgramsAreSeen) {
    test::TestMachine machine;
    const std::string folder = machine.ScratchFolder() + "\\Pack";
    machine.WriteFile(folder + "\\Trees.tcl", "x");
    const std::filesystem::path host = test::HostPathOf(machine, folder);
    const auto listed = [&] {
        std::vector<FolderEntry> entries;
        TheMachine().ListFolder(folder + "\\*.tcl", entries);
        return entries.size();
    };
    const auto exists = [&](const std::string& name) {
        std::uint32_t attributes = 0;
        return TheMachine().GetAttributes(folder + "\\" + name, attributes) == ERR_SUCCESS;
    };
    for (const auto settling : {std::chrono::milliseconds(0), std::chrono::milliseconds(2100)}) {
        std::this_thread::sleep_for(settling);
        ASSERT_EQ(listed(), 1u);
        ASSERT_TRUE(exists("TREES.tcl"));
        std::ofstream(host / "Rocks.tcl") << "x";
        std::filesystem::rename(host / "Trees.tcl", host / "TREES.TCL");
        EXPECT_EQ(listed(), 2u);
        EXPECT_TRUE(exists("rocks.TCL"));
        std::string longPath;
        ASSERT_EQ(TheMachine().LongPathName(folder + "\\trees.tcl", longPath), ERR_SUCCESS);
        EXPECT_TRUE(longPath.ends_with("\\TREES.TCL")) << longPath;
        std::filesystem::remove(host / "Rocks.tcl");
        std::filesystem::rename(host / "TREES.TCL", host / "Trees.tcl");
        EXPECT_FALSE(exists("rocks.tcl"));
        EXPECT_EQ(listed(), 1u);
    }
}

}  // namespace
}  // namespace parvane::wine
