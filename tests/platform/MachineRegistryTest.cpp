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

TEST_F(MachineRegistry, MissingKeysAreNotFoundAndKeysWithSubkeysNotDeleted) {
    KeyHandle key = 0;
    EXPECT_EQ(machine.OpenKey(Hive::LocalMachine, COURSES_KEY + "\\Missing", key),
              ERR_FILE_NOT_FOUND);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(machine.DeleteKey(Hive::LocalMachine, COURSES_KEY + "\\Missing"), ERR_FILE_NOT_FOUND);

    // A key with subkeys is not deleted.
    testMachine.CreateKey(Hive::LocalMachine, COURSES_KEY + "\\Outer\\Inner");
    EXPECT_EQ(machine.DeleteKey(Hive::LocalMachine, COURSES_KEY + "\\Outer"), ERR_ACCESS_DENIED);
    EXPECT_EQ(machine.DeleteKey(Hive::LocalMachine, COURSES_KEY + "\\Outer\\Inner"), ERR_SUCCESS);
    EXPECT_EQ(machine.DeleteKey(Hive::LocalMachine, COURSES_KEY + "\\Outer"), ERR_SUCCESS);
    EXPECT_FALSE(testMachine.KeyExists(Hive::LocalMachine, COURSES_KEY + "\\Outer"));
}

TEST_F(MachineRegistry, ValuesComeBackAsStoredWithStringsKeepingTheTerminator) {
    RegistryKey key;
    ASSERT_EQ(key.Create(Hive::LocalMachine, COURSES_KEY + "\\Links", "Parvane"), ERR_SUCCESS);
    const struct {
        const char* name;
        std::uint32_t type;
        std::string stored;
        std::string read;
    } values[] = {{"Name", REGTYPE_SZ, "Links", std::string("Links\0", 6)},
                  {"Count", REGTYPE_DWORD, std::string("\x2A\x00\x00\x80", 4),
                   std::string("\x2A\x00\x00\x80", 4)}};
    for (const auto& value : values) {
        ASSERT_EQ(machine.SetValue(key.Handle(), value.name, value.type, value.stored),
                  ERR_SUCCESS);
    }
    key.Close();
    ASSERT_EQ(key.Open(Hive::LocalMachine, COURSES_KEY + "\\Links"), ERR_SUCCESS);
    for (const auto& value : values) {
        SCOPED_TRACE(value.name);
        std::uint32_t type = 0;
        std::string data;
        const auto size = static_cast<std::uint32_t>(value.read.size());
        ASSERT_EQ(machine.QueryValue(key.Handle(), value.name, size, type, data), ERR_SUCCESS);
        EXPECT_EQ(type, value.type);
        EXPECT_EQ(data, value.read);
        // One byte short is too small; a string's size counts its terminator.
        EXPECT_EQ(machine.QueryValue(key.Handle(), value.name, size - 1, type, data),
                  ERR_MORE_DATA);
    }
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
    Win32Error status = ERR_SUCCESS;
    while ((status = machine.EnumKey(courses.Handle(), static_cast<std::uint32_t>(names.size()),
                                     256, name)) == ERR_SUCCESS) {
        names.push_back(name);
    }
    EXPECT_EQ(status, ERR_NO_MORE_ITEMS);
    EXPECT_EQ(names, (std::vector<std::string>{"{A0000000-0000-0000-0000-000000000000}",
                                               "{B0000000-0000-0000-0000-000000000000}"}));
    EXPECT_EQ(machine.EnumKey(courses.Handle(), 0, 38, name), ERR_MORE_DATA);  // no terminator
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

}  // namespace
}  // namespace parvane
