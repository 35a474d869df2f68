#include <gtest/gtest.h>

#include <string>

#include "properties/Properties.h"
#include "support/ProcessStateResets.h"
#include "support/ScriptedUserInterface.h"

namespace parvane {
namespace {

class PropertyTable : public testing::Test {
  protected:
    PropertyTable() { ResetProperties(); }
    ~PropertyTable() override { ResetProperties(); }
    ScriptedUserInterface ui;
};

TEST_F(PropertyTable, SwitchIsOnAboveZeroByDecimalReading) {
    const struct {
        const char* value;
        bool on;
    } cases[] = {{"1", true},   {"2", true}, {" 3", true},   {"0", false},
                 {"-1", false}, {"", false}, {"yes", false}, {"1abc", true}};
    for (const auto& item : cases) {
        ASSERT_TRUE(SetProperty("Switch", item.value));
        EXPECT_EQ(IsPropertyOn("Switch"), item.on) << '"' << item.value << '"';
    }
    EXPECT_FALSE(IsPropertyOn("Absent"));
}

// A folder is kept in the one spelling that paths are taken apart by; a network path keeps its
// leading pair, and switches stay as given.
TEST_F(PropertyTable, FoldersAreKeptWithSingleBackslashes) {
    ASSERT_TRUE(SetProperty(PROPERTY_TARGET_FOLDER, "C:\\Games/Greenvale 06//x"));
    EXPECT_EQ(GetProperty(PROPERTY_TARGET_FOLDER), "C:\\Games\\Greenvale 06\\x");
    ASSERT_TRUE(SetProperty(PROPERTY_LIBRARY_FOLDER, "//server\\\\share"));
    EXPECT_EQ(GetProperty(PROPERTY_LIBRARY_FOLDER), "\\\\server\\share");
    ASSERT_TRUE(SetProperty(PROPERTY_ASK_FOR_FLAG, "1//"));
    EXPECT_EQ(GetProperty(PROPERTY_ASK_FOR_FLAG), "1//");
}

TEST_F(PropertyTable, ValueThatTheFileCannotHoldIsRefused) {
    ASSERT_TRUE(SetProperty("LibraryFolder", "c:\\"));
    ui.ExpectError(Containing("a value holds at most 255 characters"));
    EXPECT_FALSE(SetProperty("LibraryFolder", std::string(256, 'x')));
    ui.ExpectError(Containing("a value holds at most 255 characters"));
    EXPECT_FALSE(SetProperty("LibraryFolder", "c:\\\nInjected = 1"));
    ui.ExpectError(Containing("a key holds at most 79 characters"));
    EXPECT_FALSE(SetProperty("A=B", "1"));
    EXPECT_EQ(GetProperty("LibraryFolder"), "c:\\");
    EXPECT_EQ(GetProperty("A"), "");
}

}  // namespace
}  // namespace parvane
