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
    ui.ExpectDialog(DIALOG_PROGRAM_PROPERTIES, [](ScriptedDialog& dialog) {
        dialog.Init();
        const std::map<int, bool> shown = {{PROPERTIES_WARN_ON_OVERWRITE_FILE_CHECK, true},
                                           {PROPERTIES_WARN_ON_CLOAKED_LIBRARIES_CHECK, true},
                                           {PROPERTIES_SAVE_PROPERTIES_ON_EXIT_CHECK, true},
                                           {PROPERTIES_ASK_FOR_TARGET_FOLDER_CHECK, false},
                                           {PROPERTIES_ASK_FOR_INSTALL_PROCEED_CHECK, true},
                                           {PROPERTIES_REMEMBER_OPEN_ARCHIVE_FOLDER_CHECK, false},
                                           {PROPERTIES_USE_DEFAULT_LIBRARY_FOLDER_CHECK, false},
                                           {PROPERTIES_ASK_FOR_FLAG_CHECK, false}};
        for (const auto& [id, checked] : shown) {
            EXPECT_EQ(dialog.IsItemChecked(id), checked) << "check box " << id;
        }
        EXPECT_EQ(dialog.ItemText(PROPERTIES_TARGET_FOLDER_FIELD), "C:\\Games\\GV06");
        EXPECT_EQ(dialog.ItemText(PROPERTIES_FLAG_FOLDER_FIELD), "D:\\Flags");

        dialog.CheckItem(PROPERTIES_SAVE_PROPERTIES_ON_EXIT_CHECK, false);
        dialog.CheckItem(PROPERTIES_ASK_FOR_FLAG_CHECK, true);
        dialog.SetItemText(PROPERTIES_TARGET_FOLDER_FIELD, "E:\\GV 06");
        dialog.SetItemText(PROPERTIES_FLAG_FOLDER_FIELD, "");
        dialog.Press(PROPERTIES_OK_BUTTON);
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
    ui.ExpectDialog(DIALOG_PROGRAM_PROPERTIES, [&](ScriptedDialog& dialog) {
        dialog.Init();
        dialog.Press(PROPERTIES_BROWSE_FLAG_FOLDER);
        EXPECT_EQ(dialog.ItemText(PROPERTIES_FLAG_FOLDER_FIELD), "F:\\Chosen");
        dialog.Press(
            PROPERTIES_BROWSE_FLAG_FOLDER);  // cancelled: the field keeps the folder chosen before
        EXPECT_EQ(dialog.ItemText(PROPERTIES_FLAG_FOLDER_FIELD), "F:\\Chosen");
        dialog.CheckItem(PROPERTIES_WARN_ON_OVERWRITE_FILE_CHECK, false);
        dialog.SetItemText(PROPERTIES_LIBRARY_FOLDER_FIELD, longFolder);
        dialog.Press(PROPERTIES_OK_BUTTON);
        EXPECT_FALSE(dialog.HasEnded());
        dialog.Press(PROPERTIES_CANCEL_BUTTON);
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
