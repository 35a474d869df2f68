#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "platform/Sha1.h"
#include "platform/win32/Win32Machine.h"
#include "platform/win32/WindowsApi.h"

namespace parvane::win32 {
namespace {

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string HexOf(const Sha1Digest& digest) {
    static const char DIGITS[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : digest) {
        text += DIGITS[byte >> 4];
        text += DIGITS[byte & 15];
    }
    return text;
}

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

class Win32MachineTest : public ::testing::Test {
  protected:
    std::unique_ptr<Machine> machine = MakeWin32Machine();
};

TEST_F(Win32MachineTest, ModulePathAndProcessListNameThisProgram) {
    std::string path;
    ASSERT_EQ(machine->ModulePath(path), ERR_SUCCESS);
    const std::string image = path.substr(path.find_last_of('\\') + 1);
    EXPECT_EQ(UpperCase(image), "PARVANE-WIN32-TESTS.EXE");

    std::vector<std::string> names;
    ASSERT_EQ(machine->ProcessImageNames(names), ERR_SUCCESS);
    EXPECT_TRUE(std::any_of(names.begin(), names.end(), [&](const std::string& name) {
        return UpperCase(name) == UpperCase(image);
    }));
}

TEST_F(Win32MachineTest, MachineKeysLiveInTheThirtyTwoBitView) {
    const std::string key = "Software\\Parvane Win32 View Test";
    KeyHandle handle = 0;
    ASSERT_EQ(machine->CreateKey(Hive::LocalMachine, key, "Parvane", handle), ERR_SUCCESS);
    machine->CloseKey(handle);

    if constexpr (sizeof(void*) == 8) {
        EXPECT_TRUE(ExistsInNativeView("Software\\Wow6432Node\\Parvane Win32 View Test"));
        EXPECT_FALSE(ExistsInNativeView(key));
    }
    ASSERT_EQ(machine->OpenKey(Hive::LocalMachine, key, handle), ERR_SUCCESS);
    machine->CloseKey(handle);

    EXPECT_EQ(machine->DeleteKey(Hive::LocalMachine, key), ERR_SUCCESS);
    EXPECT_EQ(machine->OpenKey(Hive::LocalMachine, key, handle), ERR_FILE_NOT_FOUND);
    EXPECT_FALSE(ExistsInNativeView("Software\\Wow6432Node\\Parvane Win32 View Test"));
}

TEST(Win32Sha1, KnownDigestsOverCng) {
    Sha1 empty;
    EXPECT_EQ(HexOf(empty.Finish()), "da39a3ee5e6b4b0d3255bfef95601890afd80709");

    Sha1 pieces;
    pieces.Add("a", 1);
    pieces.Add("bc", 2);
    EXPECT_EQ(HexOf(pieces.Finish()), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

}  // namespace
}  // namespace parvane::win32
