// The registry half of the seam, the same on every backend: what these tests expect is what
// Windows answers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Machine.h"
#include "platform/RegistryKey.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

using test::GAME_KEY;

const std::string COURSES_KEY = std::string(GAME_KEY) + "\\Courses";

class MachineRegistry : public ::testing::Test {
  protected:
    test::TestMachine testMachine;
    Machine& machine = TheMachine();
};

TEST_F(MachineRegistry, MissingKeysAndValuesAreNotFound) {
    KeyHandle key = 0;
    EXPECT_EQ(machine.OpenKey(Hive::LocalMachine, COURSES_KEY + "\\Missing", key),
              ERR_FILE_NOT_FOUND);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(machine.DeleteKey(Hive::LocalMachine, COURSES_KEY + "\\Missing"), ERR_FILE_NOT_FOUND);

    RegistryKey game;
    ASSERT_EQ(game.Open(Hive::LocalMachine, GAME_KEY), ERR_SUCCESS);
    std::uint32_t type = 0;
    std::string data;
    EXPECT_EQ(machine.QueryValue(game.Handle(), "Missing", 256, type, data), ERR_FILE_NOT_FOUND);
}

TEST_F(MachineRegistry, StringsKeepTheTerminatorTheLengthLeftOut) {
    RegistryKey key;
    ASSERT_EQ(key.Create(Hive::LocalMachine, COURSES_KEY + "\\Links", "Parvane"), ERR_SUCCESS);
    ASSERT_EQ(machine.SetValue(key.Handle(), "Name", REGTYPE_SZ, "Links"), ERR_SUCCESS);

    std::uint32_t type = 0;
    std::string data;
    ASSERT_EQ(machine.QueryValue(key.Handle(), "Name", 256, type, data), ERR_SUCCESS);
    EXPECT_EQ(type, REGTYPE_SZ);
    EXPECT_EQ(data, std::string("Links\0", 6));

    // Six bytes with the terminator: a buffer of five is too small.
    EXPECT_EQ(machine.QueryValue(key.Handle(), "Name", 5, type, data), ERR_MORE_DATA);
}

TEST_F(MachineRegistry, DefaultDwordAndBinaryValuesComeBackAsStored) {
    RegistryKey key;
    ASSERT_EQ(key.Create(Hive::LocalMachine, COURSES_KEY + "\\Links", ""), ERR_SUCCESS);
    const std::string dword("\x2A\x00\x00\x80", 4);
    const std::string binary("\x00\xFF\x10", 3);
    ASSERT_EQ(machine.SetValue(key.Handle(), "", REGTYPE_SZ, "Default"), ERR_SUCCESS);
    ASSERT_EQ(machine.SetValue(key.Handle(), "Count", REGTYPE_DWORD, dword), ERR_SUCCESS);
    ASSERT_EQ(machine.SetValue(key.Handle(), "Blob", REGTYPE_BINARY, binary), ERR_SUCCESS);
    key.Close();

    ASSERT_EQ(key.Open(Hive::LocalMachine, COURSES_KEY + "\\Links"), ERR_SUCCESS);
    std::uint32_t type = 0;
    std::string data;
    ASSERT_EQ(machine.QueryValue(key.Handle(), "", 256, type, data), ERR_SUCCESS);
    EXPECT_EQ(data, std::string("Default\0", 8));
    ASSERT_EQ(machine.QueryValue(key.Handle(), "Count", 4, type, data), ERR_SUCCESS);
    EXPECT_EQ(type, REGTYPE_DWORD);
    EXPECT_EQ(data, dword);
    ASSERT_EQ(machine.QueryValue(key.Handle(), "Blob", 256, type, data), ERR_SUCCESS);
    EXPECT_EQ(type, REGTYPE_BINARY);
    EXPECT_EQ(data, binary);
}

TEST_F(MachineRegistry, EnumerationListsSubkeysInOrderThenEnds) {
    for (const char* name :
         {"{B0000000-0000-0000-0000-000000000000}", "{A0000000-0000-0000-0000-000000000000}"}) {
        testMachine.CreateKey(Hive::LocalMachine, COURSES_KEY + "\\" + name);
    }
    RegistryKey courses;
    ASSERT_EQ(courses.Open(Hive::LocalMachine, COURSES_KEY), ERR_SUCCESS);
    std::vector<std::string> names;
    std::string name;
    std::uint32_t index = 0;
    Win32Error status = ERR_SUCCESS;
    while ((status = machine.EnumKey(courses.Handle(), index, 256, name)) == ERR_SUCCESS) {
        names.push_back(name);
        ++index;
    }
    EXPECT_EQ(status, ERR_NO_MORE_ITEMS);
    EXPECT_EQ(names, (std::vector<std::string>{"{A0000000-0000-0000-0000-000000000000}",
                                               "{B0000000-0000-0000-0000-000000000000}"}));
    // 38 characters need 39 with the terminator.
    EXPECT_EQ(machine.EnumKey(courses.Handle(), 0, 38, name), ERR_MORE_DATA);
    EXPECT_EQ(machine.EnumKey(courses.Handle(), 0, 39, name), ERR_SUCCESS);
}

TEST_F(MachineRegistry, AKeyWithSubkeysIsNotDeleted) {
    testMachine.CreateKey(Hive::LocalMachine, COURSES_KEY + "\\Outer\\Inner");
    EXPECT_EQ(machine.DeleteKey(Hive::LocalMachine, COURSES_KEY + "\\Outer"), ERR_ACCESS_DENIED);
    EXPECT_EQ(machine.DeleteKey(Hive::LocalMachine, COURSES_KEY + "\\Outer\\Inner"), ERR_SUCCESS);
    EXPECT_EQ(machine.DeleteKey(Hive::LocalMachine, COURSES_KEY + "\\Outer"), ERR_SUCCESS);
    EXPECT_FALSE(testMachine.KeyExists(Hive::LocalMachine, COURSES_KEY + "\\Outer"));
}

TEST_F(MachineRegistry, NamesAreFoundIgnoringCaseAndKeepCodePage1252Letters) {
    const std::string key = COURSES_KEY + "\\Caf\xE9 Links";
    testMachine.SetString(Hive::LocalMachine, key, "Cr\xE8me", "Br\xFBl\xE9\x80");
    std::string value;
    ASSERT_TRUE(testMachine.QueryString(Hive::LocalMachine, COURSES_KEY + "\\CAF\xC9 LINKS",
                                        "cr\xC8me", value));
    EXPECT_EQ(value, "Br\xFBl\xE9\x80");

    RegistryKey courses;
    ASSERT_EQ(courses.Open(Hive::LocalMachine, COURSES_KEY), ERR_SUCCESS);
    std::string name;
    ASSERT_EQ(machine.EnumKey(courses.Handle(), 0, 256, name), ERR_SUCCESS);
    EXPECT_EQ(name, "Caf\xE9 Links");
}

TEST(MachineRegistryStores, GameAndCloakingToolAreRegisteredAsAsked) {
    test::TestMachineOptions options;
    options.gameInstalled = false;
    options.cloakingTool = true;
    test::TestMachine testMachine(options);
    EXPECT_FALSE(testMachine.KeyExists(Hive::LocalMachine, GAME_KEY));
    EXPECT_TRUE(
        testMachine.KeyExists(Hive::LocalMachine, std::string(test::CLOAK_KEY) + "\\Libraries"));
}

}  // namespace
}  // namespace parvane
