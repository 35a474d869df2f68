#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/PlaceFile.h"
#include "platform/Machine.h"
#include "support/FaultInjectingMachine.h"
#include "support/InstallFixture.h"

namespace parvane {
namespace {

using Names = std::vector<std::string>;

class PlacementTest : public test::InstallTest {
  protected:
    PlacementTest() { machine.WriteFile(source, "new"); }

    const std::string source = Scratch() + "\\new.dat";
    const std::string folder = Scratch() + "\\Out\\Sub";
    const std::string destination = folder + "\\file.dat";
};

TEST_F(PlacementTest, CopiesIntoAMissingFolderChainAndPassesOverAMissingSource) {
    EXPECT_TRUE(PlaceFile(source, destination));
    EXPECT_TRUE(PlaceFile(Scratch() + "\\hole7.mp3", folder + "\\hole7.mp3"));
    EXPECT_TRUE(PlaceFile("", folder + "\\none.dat"));
    EXPECT_EQ(machine.ReadFile(destination), "new");
    EXPECT_EQ(test::FilesBelow(folder), Names{"file.dat"}) << "no temporary file stays";
}

// Whichever step of the copy fails, the destination keeps its old content whole and the
// temporary copy beside it is gone.
TEST_F(PlacementTest, AFailedCopyLeavesTheOldFileWhole) {
    machine.WriteFile(destination, "old");
    // Looking for a free temporary name, copying to it, moving it over the old file.
    for (const auto& [call, target] : {std::pair{test::MachineCall::GetAttributes, "~0file"},
                                       {test::MachineCall::CopyFileOver, "~0file"},
                                       {test::MachineCall::MoveFileOver, "file.dat"}}) {
        test::FaultInjectingMachine faults;
        faults.Inject({.call = call, .pathPart = target, .error = ERR_DISK_FULL});
        ui.ExpectError("Couldn't copy to file '" + destination + "', return code=112");
        EXPECT_FALSE(PlaceFile(source, destination)) << test::MachineCallName(call);
        EXPECT_EQ(machine.ReadFile(destination), "old") << test::MachineCallName(call);
        EXPECT_EQ(test::FilesBelow(folder), Names{"file.dat"}) << test::MachineCallName(call);
    }
}

// Every destination the 255-character limit allows can be replaced: the temporary copy's name
// beside it fits too.
TEST_F(PlacementTest, AFileAtTheLengthLimitIsReplaced) {
    const std::string deep = Scratch() + "\\" + std::string(248 - Scratch().size(), 'd');
    const std::string longest = deep + "\\abcde";
    ASSERT_EQ(longest.size(), 255u);
    machine.WriteFile(longest, "old");
    EXPECT_TRUE(PlaceFile(source, longest));
    EXPECT_EQ(machine.ReadFile(longest), "new");
    EXPECT_EQ(test::FilesBelow(deep), Names{"abcde"});
}

}  // namespace
}  // namespace parvane
