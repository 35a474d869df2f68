// The Wine machine over a prefix: opening it, and what it takes from the prefix's registry.

#include <gtest/gtest.h>

#include <fstream>

#include "platform/wine/WineMachine.h"
#include "support/TestMachine.h"
#include "support/wine/TestPrefix.h"
#include "support/wine/WineTestMachine.h"

namespace parvane::wine {
namespace {

TEST(WineMachineOpening, AFolderThatIsNoPrefixOrARegistryThatCannotBeParsedIsNamed) {
    test::TestPrefix prefix;
    std::string message;
    EXPECT_EQ(OpenWineMachine(prefix.DriveC(), message), nullptr);
    EXPECT_NE(message.find("has no folder 'drive_c'"), std::string::npos) << message;
    std::ofstream(prefix.Folder() / "user.reg", std::ios::app) << "[Broken\n";
    EXPECT_EQ(OpenWineMachine(prefix.Folder(), message), nullptr);
    EXPECT_NE(message.find("user.reg"), std::string::npos) << message;
}

TEST(WineMachine, TheTempFolderIsTheOneTheRegistryNamesAndTheGameIsInDriveC) {
    test::TestMachine machine;
    machine.SetString(Hive::CurrentUser, "Environment", "TEMP", "%USERPROFILE%\\Scratch Temp");
    std::string profile;
    ASSERT_TRUE(
        machine.QueryString(Hive::CurrentUser, test::SHELL_FOLDERS_KEY, "Personal", profile));
    profile = profile.substr(0, profile.find_last_of('\\'));
    machine.MakeFolders(profile + "\\Scratch Temp");
    std::string folder;
    ASSERT_EQ(TheMachine().TempPath(folder), ERR_SUCCESS);
    EXPECT_EQ(folder, profile + "\\Scratch Temp\\");
    // The game's folder is in drive C.
    EXPECT_EQ(test::HostPathOf(machine, machine.GameInstallDir()),
              test::PrefixFolder(machine) / "dosdevices" / "c:" / "Program Files (x86)" /
                  "Quorlix" / "Greenvale 06");
}

}  // namespace
}  // namespace parvane::wine
