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

TEST(TestMachineSetup, OptionsChooseTheGameItsFolderAndTheCloakingTool) {
    TestMachineOptions custom;
    custom.gameInstallDir = "C:\\Games\\GV 06";
    custom.cloakingTool = true;
    TestMachineOptions noGame;
    noGame.gameInstalled = false;
    const struct {
        const char* name;
        TestMachineOptions options;
    } cases[] = {{"default", TestMachineOptions{}}, {"custom", custom}, {"no game", noGame}};
    for (const auto& item : cases) {
        SCOPED_TRACE(item.name);
        TestMachine machine(item.options);
        std::string installDir;
        EXPECT_EQ(machine.QueryString(Hive::LocalMachine, GAME_KEY, "Install Dir", installDir),
                  item.options.gameInstalled);
        if (item.options.gameInstalled) {
            EXPECT_EQ(installDir, machine.GameInstallDir());
            if (!item.options.gameInstallDir.empty()) {
                EXPECT_EQ(installDir, item.options.gameInstallDir);
            }
            EXPECT_TRUE(machine.FolderExists(installDir));
            EXPECT_TRUE(machine.KeyExists(Hive::LocalMachine, std::string(GAME_KEY) + "\\Courses"));
            EXPECT_TRUE(
                machine.KeyExists(Hive::LocalMachine, std::string(GAME_KEY) + "\\Libraries"));
        }
        for (const char* list : {"\\Courses", "\\Libraries"}) {
            EXPECT_EQ(machine.KeyExists(Hive::LocalMachine, std::string(CLOAK_KEY) + list),
                      item.options.cloakingTool);
        }
        std::string personal;
        ASSERT_TRUE(
            machine.QueryString(Hive::CurrentUser, test::SHELL_FOLDERS_KEY, "Personal", personal));
        EXPECT_TRUE(machine.FolderExists(personal)) << personal;
    }
}

TEST(TestMachineSetup, ValuesAndFilesWrittenCanBeReadBack) {
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

    const std::string path = machine.ScratchFolder() + "\\a\\b\\file.bin";
    machine.WriteFile(path, std::string("\0\r\n\x1A", 4));
    EXPECT_EQ(machine.ReadFile(path), std::string("\0\r\n\x1A", 4));
}

}  // namespace
}  // namespace parvane
