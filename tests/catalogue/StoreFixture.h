#pragma once

// A test machine with the game (and, unless asked otherwise, the cloaking tool) registered,
// detected as at start-up, with an empty catalogue and helpers that write store entries and
// their content files the way the game and the cloaking tool leave them.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "base/GameFolders.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/GameDetection.h"
#include "support/ContentFiles.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane::test {

// "{0000000N-0000-0000-0000-000000000000}": key names that enumerate in the order of `n`.
inline std::string OrderedGuidText(std::uint32_t n) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-0000-0000-0000-000000000000}", n);
    return text;
}

inline std::string EntryPath(const char* store, const std::string& keyName) {
    return std::string(store) + "\\" + keyName;
}

using EntryValues = std::vector<std::pair<std::string, std::string>>;

class StoreTest : public ::testing::Test {
  protected:
    explicit StoreTest(bool cloakingTool = true) : machine(Options(cloakingTool)) {
        TheCatalogue() = Catalogue{};
        ForgetGameFolders();
    }
    ~StoreTest() override {
        TheCatalogue() = Catalogue{};
        ForgetGameFolders();
    }

    void SetUp() override { ASSERT_TRUE(DetectSupportedGames()); }

    void AddEntry(const char* store, const std::string& keyName, const EntryValues& values) {
        const std::string path = EntryPath(store, keyName);
        machine.CreateKey(GAME_HIVE, path);
        for (const auto& [name, text] : values) {
            machine.SetString(GAME_HIVE, path, name, text);
        }
    }

    // A course file in a folder of its own below the game's folder, referencing `libraries`.
    std::string WriteCourse(const std::string& folderName, const std::vector<GUID>& libraries,
                            const std::vector<std::string>& libraryNames) {
        const std::string path =
            machine.GameInstallDir() + "\\Courses\\" + folderName + "\\" + folderName + ".tcr";
        machine.MakeFolders(machine.GameInstallDir() + "\\Courses\\" + folderName);
        CourseFileContent content;
        content.guid = TestGuid(1);
        content.name = folderName;
        content.libraryGuids = libraries;
        content.libraryNames = libraryNames;
        EXPECT_TRUE(WriteCourseFile(path, content));
        return path;
    }

    std::string WriteLibrary(const std::string& fileName, const GUID& guid,
                             const std::string& headerName) {
        const std::string folder = machine.GameInstallDir() + "\\Objects";
        machine.MakeFolders(folder);
        const std::string path = folder + "\\" + fileName;
        EXPECT_TRUE(WriteLibraryFile(path, {guid, headerName}));
        return path;
    }

    void AddCourse(const char* store, const std::string& keyName, const std::string& name,
                   const std::string& filename = {}) {
        AddEntry(store, keyName, {{"Name", name}, {"Filename", filename}});
    }
    void AddLibrary(const char* store, const std::string& keyName, const std::string& name,
                    const std::string& filename = {}) {
        AddEntry(store, keyName, {{"Name", name}, {"Filename", filename}});
    }

    bool EntryExists(const char* store, const std::string& keyName) {
        return machine.KeyExists(GAME_HIVE, EntryPath(store, keyName));
    }

    TestMachine machine;
    ScriptedUserInterface ui;

  private:
    static TestMachineOptions Options(bool cloakingTool) {
        TestMachineOptions options;
        options.cloakingTool = cloakingTool;
        return options;
    }
};

}  // namespace parvane::test
