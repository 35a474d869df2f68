// What only the Win32 backend does: the 32-bit registry view of a 64-bit program.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/win32/Win32Machine.h"
#include "platform/win32/WindowsApi.h"

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

}  // namespace
}  // namespace parvane::win32
