#pragma once

// The game (and unless asked otherwise the cloaking tool) registered and detected, an empty
// catalogue, and writers of store entries and content files.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "base/GameFolders.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/GameDetection.h"
#include "support/ContentFiles.h"
#include "support/ProcessStateResets.h"
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
using Texts = std::vector<std::string>;

// The eight values of a course entry and the fields they fill.
inline const std::pair<const char*, std::string CourseRecord::*> COURSE_VALUES[] = {
    {"Name", &CourseRecord::name},       {"Filename", &CourseRecord::filename},
    {"Flag", &CourseRecord::flag},       {"Logo", &CourseRecord::logo},
    {"Audio", &CourseRecord::audio},     {"Music", &CourseRecord::music},
    {"Picture", &CourseRecord::picture}, {"Text", &CourseRecord::text}};

// A field of each record of a list, in the list's order.
template <typename Record>
Texts Fields(std::span<const Record> records, std::string Record::*field = &Record::name) {
    Texts texts;
    for (const Record& record : records) {
        texts.push_back(record.*field);
    }
    return texts;
}
template <typename Record>
Texts GuidTexts(std::span<const Record> records) {
    return Fields(records, &Record::guidText);
}

// The record found, or an empty one (and a failure of the test) when none was.
template <typename Record>
const Record& Listed(const Record* found) {
    static const Record none{};
    EXPECT_NE(found, nullptr) << "not listed";
    return found != nullptr ? *found : none;
}

class StoreTest : public ::testing::Test {
  protected:
    explicit StoreTest(bool cloakingTool = true) : machine({.cloakingTool = cloakingTool}) {
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
        EXPECT_TRUE(WriteCourseFile(path, {.guid = TestGuid(1),
                                           .name = folderName,
                                           .libraryGuids = libraries,
                                           .libraryNames = libraryNames}));
        return path;
    }

    std::string WriteLibrary(const std::string& fileName, const GUID& guid,
                             const std::string& headerName) {
        const std::string folder = machine.GameInstallDir() + "\\Objects";
        machine.MakeFolders(folder);
        EXPECT_TRUE(WriteLibraryFile(folder + "\\" + fileName, {guid, headerName}));
        return folder + "\\" + fileName;
    }

    // A course's or library's entry.
    void AddNamed(const char* store, const std::string& keyName, const std::string& name,
                  const std::string& filename = {}) {
        AddEntry(store, keyName, {{"Name", name}, {"Filename", filename}});
    }

    bool EntryExists(const char* store, const std::string& keyName) {
        return machine.KeyExists(GAME_HIVE, EntryPath(store, keyName));
    }

    TestMachine machine;
    ScriptedUserInterface ui;
};

}  // namespace parvane::test
