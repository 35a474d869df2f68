#pragma once

// Courses and libraries installed on the test machine as the game and the installer leave
// them: the content files in real folders below the game's folder, the entries in the game's
// store or the cloak store, and the catalogue loaded from them.

#include <string>
#include <vector>

#include "catalogue/CatalogueLoading.h"
#include "catalogue/Guid.h"
#include "catalogue/StoreFixture.h"

namespace parvane::test {

// What one entry put on the machine: its key and files.
struct InstalledEntry {
    std::string store;
    std::string key;
    std::vector<std::string> files;
};

class InstalledContentTest : public StoreTest {
  protected:
    std::string Folder(const std::string& name) {
        return machine.GameInstallDir() + "\\Courses\\" + name;
    }
    // Course `stem` in `folder`, named `name` in its entry, referencing the libraries `uses`
    // (TestGuid numbers): its course file, the files its entry names, the .ini and .stn named
    // after it and its caddy book.
    InstalledEntry AddCourse(const std::string& folder, const std::string& stem,
                             const std::string& name, const std::vector<std::uint32_t>& uses = {},
                             const char* store = GAME_COURSES_KEY) {
        CourseFileContent content;
        content.guid = TestGuid(900);
        content.name = stem;
        for (const std::uint32_t library : uses) {
            content.libraryGuids.push_back(TestGuid(library));
            content.libraryNames.push_back("Lib " + std::to_string(library));
        }
        machine.MakeFolders(folder);
        machine.MakeFolders(GetPersonalFolder() + "\\Greenvale 06\\Course Notes");
        const std::string base = folder + "\\" + stem;
        EXPECT_TRUE(WriteCourseFile(base + ".tcr", content));
        InstalledEntry entry{store, OrderedGuidText(++entries), {base + ".tcr"}};
        EntryValues values = {
            {"Name", name}, {"Filename", base + ".tcr"}, {"Audio", folder + "\\"}};
        for (const auto& [value, suffix] : {std::pair{"Flag", "_flag.dds"},
                                            {"Logo", "_logo.dds"},
                                            {"Music", "_music.mp3"},
                                            {"Picture", "_picture.jpg"},
                                            {"Text", "_text.txt"},
                                            {"", ".ini"},
                                            {"", ".stn"}}) {
            entry.files.push_back(base + suffix);
            if (*value != '\0')
                values.push_back({value, entry.files.back()});
        }
        entry.files.push_back(GetPersonalFolder() + "\\Greenvale 06\\Course Notes\\" + stem +
                              ".tcn");
        for (std::size_t i = 1; i < entry.files.size(); ++i)
            machine.WriteFile(entry.files[i], "x");
        AddEntry(store, entry.key, values);
        return entry;
    }

    // Library `n` (TestGuid(n), named "Lib n") in `folder`.
    InstalledEntry AddLibrary(const std::string& folder, std::uint32_t n,
                              const char* store = GAME_LIBRARIES_KEY) {
        machine.MakeFolders(folder);
        const std::string path = folder + "\\Lib" + std::to_string(n) + ".tcl";
        const std::string name = "Lib " + std::to_string(n);
        EXPECT_TRUE(WriteLibraryFile(path, {TestGuid(n), name}));
        InstalledEntry entry{store, GuidToText(TestGuid(n)), {path}};
        AddEntry(store, entry.key, {{"Name", name}, {"Filename", path}});
        return entry;
    }

    void Load() { ASSERT_TRUE(LoadCatalogue()); }

    void ExpectPresent(const InstalledEntry& entry, bool present) {
        EXPECT_EQ(EntryExists(entry.store.c_str(), entry.key), present) << entry.key;
        for (const std::string& file : entry.files)
            EXPECT_EQ(machine.FileExists(file), present) << file;
    }

  private:
    std::uint32_t entries = 0;
};

}  // namespace parvane::test
