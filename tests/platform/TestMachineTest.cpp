// The test machine sets up what it promises, on every backend.

#include <gtest/gtest.h>

#include "platform/RegistryKey.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

using test::CLOAK_KEY;
using test::GAME_KEY;
using test::TestMachine;
using test::TestMachineOptions;

TEST(TestMachineSetup, TheGameIsRegisteredWithItsFolder) {
    TestMachine machine;
    std::string installDir;
    ASSERT_TRUE(machine.QueryString(Hive::LocalMachine, GAME_KEY, "Install Dir", installDir));
    EXPECT_EQ(installDir, machine.GameInstallDir());
    EXPECT_TRUE(machine.FolderExists(installDir));
    EXPECT_TRUE(machine.KeyExists(Hive::LocalMachine, std::string(GAME_KEY) + "\\Courses"));
    EXPECT_TRUE(machine.KeyExists(Hive::LocalMachine, std::string(GAME_KEY) + "\\Libraries"));
    EXPECT_FALSE(machine.KeyExists(Hive::LocalMachine, CLOAK_KEY));
}

TEST(TestMachineSetup, OptionsChooseTheGameFolderAndTheCloakingTool) {
    TestMachineOptions options;
    options.gameInstallDir = "C:\\Games\\GV 06";
    options.cloakingTool = true;
    TestMachine machine(options);
    std::string installDir;
    ASSERT_TRUE(machine.QueryString(Hive::LocalMachine, GAME_KEY, "Install Dir", installDir));
    EXPECT_EQ(installDir, "C:\\Games\\GV 06");
    EXPECT_TRUE(machine.FolderExists("C:\\Games\\GV 06"));
    EXPECT_TRUE(machine.KeyExists(Hive::LocalMachine, std::string(CLOAK_KEY) + "\\Courses"));
    EXPECT_TRUE(machine.KeyExists(Hive::LocalMachine, std::string(CLOAK_KEY) + "\\Libraries"));
}

TEST(TestMachineSetup, WithoutTheGameNothingIsRegistered) {
    TestMachineOptions options;
    options.gameInstalled = false;
    TestMachine machine(options);
    EXPECT_FALSE(machine.KeyExists(Hive::LocalMachine, GAME_KEY));
}

TEST(TestMachineSetup, ThePersonalFolderIsAnExistingFolder) {
    TestMachine machine;
    std::string personal;
    ASSERT_TRUE(
        machine.QueryString(Hive::CurrentUser, test::SHELL_FOLDERS_KEY, "Personal", personal));
    EXPECT_TRUE(machine.FolderExists(personal)) << personal;
}

TEST(TestMachineSetup, ValuesWrittenCanBeReadBack) {
    TestMachine machine;
    machine.SetString(Hive::CurrentUser, "Software\\Parvane Test\\Deep", "Name", "Caf\xE9");
    machine.SetDword(Hive::CurrentUser, "Software\\Parvane Test", "Count", 0x01020304);
    std::string text;
    ASSERT_TRUE(
        machine.QueryString(Hive::CurrentUser, "Software\\Parvane Test\\Deep", "Name", text));
    EXPECT_EQ(text, "Caf\xE9");
    RegistryKey key;
    ASSERT_EQ(key.Open(Hive::CurrentUser, "Software\\Parvane Test"), ERR_SUCCESS);
    std::uint32_t type = 0;
    std::string data;
    ASSERT_EQ(TheMachine().QueryValue(key.Handle(), "Count", 4, type, data), ERR_SUCCESS);
    EXPECT_EQ(type, REGTYPE_DWORD);
    EXPECT_EQ(data, std::string("\x04\x03\x02\x01", 4));
}

TEST(TestMachineSetup, FilesWrittenCanBeReadBack) {
    TestMachine machine;
    const std::string path = machine.ScratchFolder() + "\\a\\b\\file.bin";
    machine.WriteFile(path, std::string("\0\r\n\x1A", 4));
    EXPECT_TRUE(machine.FileExists(path));
    EXPECT_EQ(machine.ReadFile(path), std::string("\0\r\n\x1A", 4));
}

}  // namespace
}  // namespace parvane
