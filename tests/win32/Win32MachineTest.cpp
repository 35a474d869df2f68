// What only the Win32 backend does: the 32-bit registry view of a 64-bit program, and the test
// machine that puts the real registry back after each test.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/win32/Win32Machine.h"
#include "platform/win32/WindowsApi.h"
#include "support/TestMachine.h"

namespace parvane::win32 {
namespace {

const std::string VIEW_TEST_KEY = "Software\\Parvane Win32 View Test";

// Whether HKEY_LOCAL_MACHINE\<subKey> exists in the 64-bit (native) view.
bool ExistsInNativeView(const std::string& subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::optional<std::string> StringValue(Hive hive, const std::string& subKey,
                                       const std::string& name) {
    const std::unique_ptr<Machine> machine = MakeWin32Machine();
    KeyHandle key = 0;
    if (machine->OpenKey(hive, subKey, key) != ERR_SUCCESS) {
        return std::nullopt;
    }
    std::uint32_t type = 0;
    std::string data;
    const Win32Error error = machine->QueryValue(key, name, 4096, type, data);
    machine->CloseKey(key);
    return error == ERR_SUCCESS ? std::optional<std::string>(data) : std::nullopt;
}

bool KeyExists(Hive hive, const std::string& subKey) {
    const std::unique_ptr<Machine> machine = MakeWin32Machine();
    KeyHandle key = 0;
    if (machine->OpenKey(hive, subKey, key) != ERR_SUCCESS) {
        return false;
    }
    machine->CloseKey(key);
    return true;
}

TEST(Win32Registry, MachineKeysLiveInTheThirtyTwoBitView) {
    const std::unique_ptr<Machine> machine = MakeWin32Machine();
    KeyHandle handle = 0;
    ASSERT_EQ(machine->CreateKey(Hive::LocalMachine, VIEW_TEST_KEY + "\\Inner", "Parvane", handle),
              ERR_SUCCESS);
    machine->CloseKey(handle);

    if constexpr (sizeof(void*) == 8) {
        EXPECT_TRUE(ExistsInNativeView("Software\\Wow6432Node\\Parvane Win32 View Test\\Inner"));
        EXPECT_FALSE(ExistsInNativeView(VIEW_TEST_KEY));
    }
    ASSERT_EQ(machine->OpenKey(Hive::LocalMachine, VIEW_TEST_KEY + "\\Inner", handle), ERR_SUCCESS);
    machine->CloseKey(handle);

    EXPECT_EQ(machine->DeleteKey(Hive::LocalMachine, VIEW_TEST_KEY), ERR_ACCESS_DENIED);
    EXPECT_EQ(machine->DeleteKey(Hive::LocalMachine, VIEW_TEST_KEY + "\\Inner"), ERR_SUCCESS);
    EXPECT_EQ(machine->DeleteKey(Hive::LocalMachine, VIEW_TEST_KEY), ERR_SUCCESS);
    EXPECT_EQ(machine->OpenKey(Hive::LocalMachine, VIEW_TEST_KEY, handle), ERR_FILE_NOT_FOUND);
    EXPECT_FALSE(ExistsInNativeView("Software\\Wow6432Node\\Parvane Win32 View Test"));
}

TEST(Win32TestMachine, PutsTheRegistryBackAsItFoundIt) {
    const std::string shellFolders = test::SHELL_FOLDERS_KEY;
    const std::optional<std::string> personal =
        StringValue(Hive::CurrentUser, shellFolders, "Personal");
    ASSERT_TRUE(personal.has_value());
    {
        test::TestMachine testMachine;
        testMachine.SetString(Hive::CurrentUser, shellFolders, "Personal", "C:\\Elsewhere");
        testMachine.SetString(Hive::CurrentUser, shellFolders, "Parvane Test", "added");
        testMachine.SetString(Hive::CurrentUser, "Software\\Parvane Test\\Deeper", "Name", "x");
        EXPECT_TRUE(testMachine.KeyExists(Hive::LocalMachine, test::GAME_KEY));
    }
    EXPECT_EQ(StringValue(Hive::CurrentUser, shellFolders, "Personal"), personal);
    EXPECT_EQ(StringValue(Hive::CurrentUser, shellFolders, "Parvane Test"), std::nullopt);
    EXPECT_FALSE(KeyExists(Hive::CurrentUser, "Software\\Parvane Test"));
    EXPECT_FALSE(KeyExists(Hive::LocalMachine, test::GAME_KEY));
}

}  // namespace
}  // namespace parvane::win32
