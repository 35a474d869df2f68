#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "StoreFixture.h"
#include "base/PathText.h"
#include "base/StateFolder.h"
#include "catalogue/CatalogueLoading.h"
#include "support/FaultInjectingMachine.h"

namespace parvane::test {
namespace {

// 2020-01-01 and a day later, long before any test runs: files old enough to be cached.
constexpr std::uint64_t OLD_TIME = 132223104000000000;
constexpr std::uint64_t DAY = 864000000000;

// How many records of `fields` the load found the file of.
std::size_t FoundFiles(const std::string& fields) {
    std::size_t found = 0;
    for (std::size_t at = fields.find("+found+"); at != std::string::npos;
         at = fields.find("+found+", at + 1)) {
        ++found;
    }
    return found;
}

// Every field a load fills, of every record of the four lists.
std::string LoadedFields() {
    std::string text;
    for (const auto& courses : {GetInstalledCourses(), GetCloakedCourses()}) {
        for (const CourseRecord& course : courses) {
            text += course.guidText + (course.fileFound ? " +found+ " : " ") + course.filename +
                    " " + std::to_string(course.libraryCount) + (course.removable ? " r" : " -");
            for (int slot = 0; slot < MAX_REFERENCED_LIBRARIES; ++slot) {
                text += " " + std::string(LibraryNameInSlot(course, slot)) +
                        GuidToText(LibraryGuidInSlot(course, slot));
            }
            text += "\n";
        }
    }
    for (const auto& libraries : {GetInstalledLibraries(), GetCloakedLibraries()}) {
        for (const LibraryRecord& library : libraries) {
            text += library.guidText + (library.fileFound ? " +found+ " : " ") + library.filename +
                    " " + library.headerName + " " + GuidToText(library.guid) +
                    (library.removable ? " r\n" : " -\n");
        }
    }
    return text;
}

class CachedHeaders : public StoreTest {
  protected:
    CachedHeaders() { SetStateFolder(StateFolderOf("Home")); }
    ~CachedHeaders() override { SetStateFolder({}); }

    std::string StateFolderOf(const std::string& home) {
        const std::string folder = machine.ScratchFolder() + "\\" + home + "\\State";
        machine.MakeFolders(folder);
        return folder;
    }
    std::string CacheFile() { return StateFolder() + "\\HeaderCache.bin"; }

    // A course and a library, and a library file that a course references, all long unchanged.
    void AddOldEntries() {
        course = WriteCourse("Links", {TestGuid(10), TestGuid(11)}, {"Trees", "Rocks"});
        library = WriteLibrary("Trees.tcl", TestGuid(10), "Tree Pack");
        AddNamed(GAME_COURSES_KEY, OrderedGuidText(1), "Links", course);
        AddNamed(GAME_LIBRARIES_KEY, OrderedGuidText(2), "Trees", library);
        AddNamed(CLOAK_LIBRARIES_KEY, OrderedGuidText(3), "Trees again", library);
        for (const std::string& path : {course, library, std::string(FolderTextPart(course)),
                                        std::string(FolderTextPart(library))}) {
            machine.SetModifiedTime(path, OLD_TIME);
        }
    }

    // Loads with the cache, then without; both must list the same. The fields with the cache.
    std::string LoadWithCacheAsWithout() {
        EXPECT_TRUE(LoadCatalogue());
        const std::string cached = LoadedFields();
        const std::string folder = StateFolder();
        SetStateFolder({});
        EXPECT_TRUE(LoadCatalogue());
        SetStateFolder(folder);
        EXPECT_EQ(cached, LoadedFields());
        return cached;
    }

    std::string course;
    std::string library;
};

TEST_F(CachedHeaders, UnchangedFilesComeFromTheCacheChangedOnesAreReadAgain) {
    AddOldEntries();
    const std::string first = LoadWithCacheAsWithout();
    EXPECT_NE(first.find("Tree Pack"), std::string::npos);
    {
        FaultInjectingMachine watched;
        EXPECT_EQ(LoadWithCacheAsWithout(), first);
        // The cache file; then, without the cache, the files of the three entries.
        EXPECT_EQ(watched.CallPaths(MachineCall::OpenFile),
                  (Texts{CacheFile(), course, library, library}));
    }

    // The same size with another time, then another size.
    ASSERT_TRUE(WriteLibraryFile(library, {TestGuid(12), "Tree Paco"}));
    machine.SetModifiedTime(library, OLD_TIME + DAY);
    EXPECT_NE(LoadWithCacheAsWithout().find("Tree Paco"), std::string::npos);
    ASSERT_TRUE(WriteCourseFile(course, {.guid = TestGuid(1),
                                         .libraryGuids = {TestGuid(12)},
                                         .libraryNames = {"Bushes"},
                                         .totalSize = COURSE_HEADER_SIZE + 1}));
    machine.SetModifiedTime(course, OLD_TIME);
    EXPECT_NE(LoadWithCacheAsWithout().find("Bushes"), std::string::npos);
}

// A file read again goes to the cache file's end, so the next load asks for the entries out of
// the file's order; a file written moments before the load is not kept, and is read again.
TEST_F(CachedHeaders, EntriesAskedOutOfOrderAreFoundAndFreshFilesReadAgain) {
    AddOldEntries();
    const std::string rocks = WriteLibrary("Rocks.tcl", TestGuid(11), "Rock Pack");
    AddNamed(GAME_LIBRARIES_KEY, OrderedGuidText(4), "Rocks", rocks);
    machine.SetModifiedTime(rocks, OLD_TIME);
    LoadWithCacheAsWithout();
    machine.SetModifiedTime(library, OLD_TIME + DAY);
    // Read twice (two entries name it): the next load drops the second entry.
    LoadWithCacheAsWithout();
    LoadWithCacheAsWithout();
    {
        FaultInjectingMachine watched;
        EXPECT_TRUE(LoadCatalogue());
        EXPECT_EQ(watched.CallPaths(MachineCall::OpenFile), (Texts{CacheFile()}));
    }

    ASSERT_TRUE(WriteLibraryFile(rocks, {TestGuid(11), "Rock Pack"}));
    LoadWithCacheAsWithout();
    FaultInjectingMachine watched;
    EXPECT_TRUE(LoadCatalogue());
    EXPECT_EQ(watched.CallPaths(MachineCall::OpenFile), (Texts{CacheFile(), rocks}));
}

TEST_F(CachedHeaders, FilesGoneOrReplacedByFoldersLoadAsWithoutACache) {
    AddOldEntries();
    EXPECT_EQ(FoundFiles(LoadWithCacheAsWithout()), 3u);
    TheMachine().RemoveFile(library);
    const std::string libraryGone = LoadWithCacheAsWithout();
    EXPECT_EQ(libraryGone.find("Tree Pack"), std::string::npos);
    EXPECT_EQ(FoundFiles(libraryGone), 1u);
    TheMachine().RemoveFile(course);
    machine.MakeFolders(course);
    machine.SetModifiedTime(course, OLD_TIME);
    const std::string courseAFolder = LoadWithCacheAsWithout();
    EXPECT_EQ(courseAFolder.find("Rocks"), std::string::npos);
    EXPECT_EQ(FoundFiles(courseAFolder), 0u);
}

// A folder is examined again when names come or go in it, and when the game's folder moves.
TEST_F(CachedHeaders, FoldersAreExaminedAgainWhenTheirNamesOrTheGameFolderChange) {
    AddOldEntries();
    EXPECT_NE(LoadWithCacheAsWithout().find(course + " 2 r"), std::string::npos);
    const std::string courseFolder(FolderTextPart(course));
    machine.WriteFile(courseFolder + "\\Links.tca", "the editor's source");
    machine.SetModifiedTime(courseFolder, OLD_TIME + DAY);
    EXPECT_NE(LoadWithCacheAsWithout().find(course + " 2 -"), std::string::npos);

    EXPECT_NE(LoadWithCacheAsWithout().find(" r\n"), std::string::npos);
    machine.SetString(GAME_HIVE, GAME_ROOT, GAME_INSTALL_DIR_VALUE, "C:\\Elsewhere");
    ForgetGameFolders();
    EXPECT_EQ(LoadWithCacheAsWithout().find(" r\n"), std::string::npos);
}

// Cut short, another version's, or not a cache at all: ignored without a message and written
// again whole.
TEST_F(CachedHeaders, UnusableCacheFilesAreIgnoredAndRebuilt) {
    AddOldEntries();
    LoadWithCacheAsWithout();
    const std::string whole = machine.ReadFile(CacheFile());
    ASSERT_GT(whole.size(), 40u);
    std::string otherVersion = whole;
    otherVersion[4] = '\x7F';
    for (const std::string& unusable : {whole.substr(0, whole.size() - 3), whole.substr(0, 30),
                                        otherVersion, std::string("not a cache")}) {
        machine.WriteFile(CacheFile(), unusable);
        LoadWithCacheAsWithout();
        EXPECT_EQ(machine.ReadFile(CacheFile()), whole);
    }
}

// Two prefixes whose files have the same Windows paths, sizes and times but other contents:
// each has its own state folder, and neither load takes the other's headers.
// An entry whose fields end before the length it gives them is read again, not taken with the
// bytes after it.
TEST_F(CachedHeaders, EntriesWhoseFieldsEndShortAreReadAgain) {
    AddOldEntries();
    LoadWithCacheAsWithout();
    std::string bytes = machine.ReadFile(CacheFile());
    const std::string key = "L" + library;
    ASSERT_NE(bytes.find(key), std::string::npos);
    const std::size_t lengthAt = bytes.find(key) + key.size() + 16;
    const auto length = static_cast<unsigned char>(bytes[lengthAt]);
    ASSERT_EQ(bytes[lengthAt + 1], '\0');
    bytes[lengthAt] = static_cast<char>(length - 1);
    bytes.erase(lengthAt + 2 + length - 1, 1);
    machine.WriteFile(CacheFile(), bytes);
    EXPECT_NE(LoadWithCacheAsWithout().find("Tree Pack"), std::string::npos);
}

TEST_F(CachedHeaders, PrefixesWithTheSamePathsUnderDifferentHomesKeepApart) {
    AddOldEntries();
    LoadWithCacheAsWithout();
    ASSERT_TRUE(WriteLibraryFile(library, {TestGuid(12), "Tree Paco"}));
    machine.SetModifiedTime(library, OLD_TIME);
    SetStateFolder(StateFolderOf("Other home"));
    EXPECT_NE(LoadWithCacheAsWithout().find("Tree Paco"), std::string::npos);
}

// The cache file read ahead while the program starts is the one the load takes, opened once;
// one read ahead for another state folder is not taken.
TEST_F(CachedHeaders, ACacheReadAheadIsTakenByTheLoadOfItsOwnStateFolderOnly) {
    AddOldEntries();
    const std::string first = LoadWithCacheAsWithout();
    {
        FaultInjectingMachine watched;
        ReadCatalogueStateAhead();
        EXPECT_TRUE(LoadCatalogue());
        EXPECT_EQ(LoadedFields(), first);
        EXPECT_EQ(watched.CallPaths(MachineCall::OpenFile), (Texts{CacheFile()}));
    }
    ASSERT_TRUE(WriteLibraryFile(library, {TestGuid(12), "Tree Paco"}));
    machine.SetModifiedTime(library, OLD_TIME);
    ReadCatalogueStateAhead();
    SetStateFolder(StateFolderOf("Other home"));
    EXPECT_NE(LoadWithCacheAsWithout().find("Tree Paco"), std::string::npos);
}

// A load for a command that removes nothing looks at no folder and lets no entry be removed; the
// folders' entries it leaves in the cache spare the next whole load its look at them.
TEST_F(CachedHeaders, ALoadThatRemovesNothingLeavesTheFoldersToTheNextWholeLoad) {
    AddOldEntries();
    const std::string whole = LoadWithCacheAsWithout();
    const std::string courseFolder(FolderTextPart(course));
    {
        FaultInjectingMachine watched;
        EXPECT_TRUE(LoadCatalogue(LoadScope::NoRemoval));
        const std::string fields = LoadedFields();
        EXPECT_EQ(FoundFiles(fields), 3u);
        EXPECT_EQ(fields.find(" r"), std::string::npos);
        const Texts asked = watched.CallPaths(MachineCall::GetFileStatus);
        EXPECT_EQ(std::count(asked.begin(), asked.end(), courseFolder), 0);
        EXPECT_EQ(watched.CallCount(MachineCall::ListFolder), 0u);
    }
    FaultInjectingMachine watched;
    EXPECT_TRUE(LoadCatalogue());
    EXPECT_EQ(LoadedFields(), whole);
    EXPECT_EQ(watched.CallCount(MachineCall::ListFolder), 0u);
}

}  // namespace
}  // namespace parvane::test
