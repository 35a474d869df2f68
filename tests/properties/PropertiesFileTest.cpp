#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/GameFolders.h"
#include "catalogue/GameDetection.h"
#include "properties/Properties.h"
#include "support/FaultInjectingMachine.h"
#include "support/ProcessStateResets.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

using test::TestMachine;

class PropertiesFile : public testing::Test {
  protected:
    PropertiesFile() {
        ResetProperties();
        ForgetGameFolders();
    }
    ~PropertiesFile() override {
        ResetProperties();
        ForgetGameFolders();
    }

    // Loads, saves and returns the saved text.
    std::string LoadAndSave() {
        EXPECT_TRUE(LoadProperties(folder));
        EXPECT_TRUE(SaveProperties());
        return machine.ReadFile(path);
    }

    TestMachine machine;
    ScriptedUserInterface ui;
    const std::string folder = machine.ScratchFolder();
    const std::string path = folder + "\\Parvane.properties";
};

TEST_F(PropertiesFile, NoFileGivesTheTwelveDefaultsSavedInKeyOrder) {
    EXPECT_EQ(LoadAndSave(),
              "AskForFlag = 0\r\n"
              "AskForFlagFolder = c:\\\r\n"
              "AskForInstallProceed = 1\r\n"
              "AskForTargetFolder = 1\r\n"
              "LibraryFolder = c:\\\r\n"
              "OpenArchiveFolder = c:\\\r\n"
              "RememberOpenArchiveFolder = 1\r\n"
              "SavePropertiesOnExit = 1\r\n"
              "TargetFolder = " +
                  machine.GameInstallDir() +
                  "\r\n"
                  "UseDefaultLibraryFolder = 1\r\n"
                  "WarnOnCloakedLibraries = 1\r\n"
                  "WarnOnOverwriteFile = 1\r\n");
}

// An empty TargetFolder takes the game's folder, keys in another case are other keys, and an
// overlong line is ignored with a warning.
TEST_F(PropertiesFile, SavedFileReloadsIdenticallyKeepingDuplicateKeys) {
    machine.WriteFile(path,
                      "# settings\r\nLibraryFolder = d:\\libs  \r\n"
                      "TargetFolder =\nwarnonoverwritefile = 0\nZed = second\nZed = first\n"
                      "Zed = third\r\nAskForFlagFolder = " +
                          std::string(300, 'x') + "\nAskForFlag=1");
    ui.ExpectWarning(Containing("'" + path + "' were ignored"));
    const std::string first = LoadAndSave();
    EXPECT_NE(first.find("Zed = second\r\nZed = first\r\nZed = third\r\n"), std::string::npos);
    EXPECT_EQ(GetProperty("Zed"), "second");  // the first in the file
    EXPECT_EQ(GetProperty(PROPERTY_TARGET_FOLDER), machine.GameInstallDir());
    EXPECT_EQ(GetProperty("warnonoverwritefile"), "0");
    EXPECT_EQ(GetProperty(PROPERTY_WARN_ON_OVERWRITE_FILE), "1");
    EXPECT_EQ(GetProperty(PROPERTY_ASK_FOR_FLAG_FOLDER), "c:\\");
    ResetProperties();
    EXPECT_EQ(LoadAndSave(), first);
    EXPECT_EQ(GetProperty(PROPERTY_LIBRARY_FOLDER), "d:\\libs");
    EXPECT_TRUE(IsPropertyOn(PROPERTY_ASK_FOR_FLAG));
}

// A disk that fills up (every file written holds half of what it was given), a folder that
// cannot be written (read-only) or a file that cannot be replaced: the old file stays whole,
// and the message names it with the system's reason.
TEST_F(PropertiesFile, FailedSaveKeepsTheOldFileAndSaysWhy) {
    using test::MachineCall;
    const std::vector<std::pair<std::vector<test::Fault>, std::string>> cases = {
        {{{.call = MachineCall::StreamWrite, .count = test::EVERY_CALL, .error = ERR_DISK_FULL}},
         "No space left on device"},
        {{{.call = MachineCall::OpenFile, .error = ERR_ACCESS_DENIED}}, "Permission denied"},
        {{{.call = MachineCall::MoveFileOver, .error = ERR_ACCESS_DENIED},
          {.call = MachineCall::MoveFileTo, .error = ERR_ACCESS_DENIED}},
         "Permission denied"}};
    const std::string old = "AskForFlag = 1\r\n";
    machine.WriteFile(path, old);
    ASSERT_TRUE(LoadProperties(folder));
    ASSERT_TRUE(SetProperty(PROPERTY_ASK_FOR_FLAG, "0"));
    for (const auto& [faults, reason] : cases) {
        ui.ExpectError("Couldn't save the properties in '" + path + "': " + reason);
        {
            test::FaultInjectingMachine failing;
            for (const test::Fault& fault : faults) {
                failing.Inject(fault);
            }
            EXPECT_FALSE(SaveProperties());
        }
        EXPECT_EQ(machine.ReadFile(path), old);
        EXPECT_FALSE(machine.FileExists(path + ".new"));
    }
}

// Settings that are there but cannot be opened must not be replaced by the defaults at exit.
TEST_F(PropertiesFile, OnlyAMissingFileGivesTheDefaults) {
    machine.WriteFile(path, "AskForFlag = 1\r\n");
    for (const Win32Error error : {ERR_ACCESS_DENIED, ERR_SHARING_VIOLATION, ERR_PATH_NOT_FOUND}) {
        ResetProperties();
        test::FaultInjectingMachine faults;
        faults.Inject({.call = test::MachineCall::OpenFile, .error = error});
        const bool missing = error == ERR_PATH_NOT_FOUND;
        if (!missing)
            ui.ExpectError(Containing("Couldn't open file '" + path + "': "));
        EXPECT_EQ(LoadProperties(folder), missing) << error;
        EXPECT_EQ(GetProperty(PROPERTY_ASK_FOR_FLAG), missing ? "0" : "") << error;
    }
}

}  // namespace
}  // namespace parvane
