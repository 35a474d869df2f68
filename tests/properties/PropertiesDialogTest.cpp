#include <gtest/gtest.h>

#include <map>
#include <string>

#include "properties/Properties.h"
#include "properties/PropertiesDialog.h"
#include "support/ProcessStateResets.h"
#include "support/ScriptedUserInterface.h"

namespace parvane {
namespace {

using PropertyValues = std::map<std::string, std::string>;

const PropertyValues STARTING_VALUES = {
    {PROPERTY_WARN_ON_OVERWRITE_FILE, "2"},       {PROPERTY_WARN_ON_CLOAKED_LIBRARIES, "1"},
    {PROPERTY_SAVE_PROPERTIES_ON_EXIT, "1"},      {PROPERTY_ASK_FOR_TARGET_FOLDER, "0"},
    {PROPERTY_ASK_FOR_INSTALL_PROCEED, "1"},      {PROPERTY_REMEMBER_OPEN_ARCHIVE_FOLDER, "-1"},
    {PROPERTY_USE_DEFAULT_LIBRARY_FOLDER, "yes"}, {PROPERTY_ASK_FOR_FLAG, "0"},
    {PROPERTY_TARGET_FOLDER, "C:\\Games\\GV06"},  {PROPERTY_LIBRARY_FOLDER, "C:\\Libraries"},
    {PROPERTY_OPEN_ARCHIVE_FOLDER, "c:\\"},       {PROPERTY_ASK_FOR_FLAG_FOLDER, "D:\\Flags"},
};

PropertyValues CurrentValues() {
    PropertyValues values;
    for (const auto& [key, value] : STARTING_VALUES) {
        values[key] = GetProperty(key);
    }
    return values;
}

class PropertiesDialogTest : public testing::Test {
  protected:
    PropertiesDialogTest() {
        ResetProperties();
        for (const auto& [key, value] : STARTING_VALUES) {
            SetProperty(key, value);
        }
    }
    ~PropertiesDialogTest() override { ResetProperties(); }

    ScriptedUserInterface ui;
};

TEST_F(PropertiesDialogTest, FillsFromTheTableAndOkStoresAllTwelve) {
    ui.ExpectDialog(106, [](ScriptedDialog& dialog) {
        dialog.Init();
        const std::map<int, bool> shown = {{1002, true},  {1013, true}, {1003, true},
                                           {1007, false}, {1008, true}, {1005, false},
                                           {1011, false}, {1004, false}};
        for (const auto& [id, checked] : shown) {
            EXPECT_EQ(dialog.IsItemChecked(id), checked) << "check box " << id;
        }
        EXPECT_EQ(dialog.ItemText(1009), "C:\\Games\\GV06");
        EXPECT_EQ(dialog.ItemText(1010), "D:\\Flags");

        dialog.CheckItem(1003, false);
        dialog.CheckItem(1004, true);
        dialog.SetItemText(1009, "E:\\GV 06");
        dialog.SetItemText(1010, "");
        dialog.Press(1);
        EXPECT_EQ(dialog.Result(), 0);
    });
    ShowPropertiesDialog();
    const PropertyValues stored = {
        {PROPERTY_WARN_ON_OVERWRITE_FILE, "1"},     {PROPERTY_WARN_ON_CLOAKED_LIBRARIES, "1"},
        {PROPERTY_SAVE_PROPERTIES_ON_EXIT, "0"},    {PROPERTY_ASK_FOR_TARGET_FOLDER, "0"},
        {PROPERTY_ASK_FOR_INSTALL_PROCEED, "1"},    {PROPERTY_REMEMBER_OPEN_ARCHIVE_FOLDER, "0"},
        {PROPERTY_USE_DEFAULT_LIBRARY_FOLDER, "0"}, {PROPERTY_ASK_FOR_FLAG, "1"},
        {PROPERTY_TARGET_FOLDER, "E:\\GV 06"},      {PROPERTY_LIBRARY_FOLDER, "C:\\Libraries"},
        {PROPERTY_OPEN_ARCHIVE_FOLDER, "c:\\"},     {PROPERTY_ASK_FOR_FLAG_FOLDER, ""},
    };
    EXPECT_EQ(CurrentValues(), stored);
}

// A folder too long for its property keeps the dialog open; Cancel then stores nothing.
TEST_F(PropertiesDialogTest, BrowseFillsItsFieldAndCancelStoresNothing) {
    const std::string longFolder = "C:\\" + std::string(253, 'f');
    ui.ExpectDialog(106, [&](ScriptedDialog& dialog) {
        dialog.Init();
        dialog.Press(5);
        EXPECT_EQ(dialog.ItemText(1010), "F:\\Chosen");
        dialog.Press(5);  // cancelled: the field keeps the folder chosen before
        EXPECT_EQ(dialog.ItemText(1010), "F:\\Chosen");
        dialog.CheckItem(1002, false);
        dialog.SetItemText(1012, longFolder);
        dialog.Press(1);
        EXPECT_FALSE(dialog.HasEnded());
        dialog.Press(2);
        EXPECT_EQ(dialog.Result(), 1);
    });
    ui.ExpectBrowseForFolder("F:\\Chosen");
    ui.ExpectBrowseForFolder("");
    ui.ExpectError(Containing("The folder '" + longFolder + "' is too long"));
    ShowPropertiesDialog();
    EXPECT_EQ(ui.LastBrowseInstruction(), "Select a folder below and press OK when done.");
    EXPECT_EQ(ui.LastBrowseStart(), "F:\\Chosen");  // the browser opens at the field's folder
    EXPECT_EQ(CurrentValues(), STARTING_VALUES);
}

}  // namespace
}  // namespace parvane
