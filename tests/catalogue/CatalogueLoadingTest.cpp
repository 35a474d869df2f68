#include <gtest/gtest.h>

#include <string>

#include "StoreFixture.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueLoading.h"
#include "support/FaultInjectingMachine.h"

namespace parvane::test {
namespace {

const std::string kGuid1 = OrderedGuidText(1);
const std::string kGuid2 = OrderedGuidText(2);
const std::string kGuid3 = OrderedGuidText(3);
const std::string kGuid4 = OrderedGuidText(4);

using CatalogueLoading = StoreTest;

TEST_F(CatalogueLoading, EachLoadFillsEachStoresOwnListSortedByNameIgnoringCase) {
    AddNamed(GAME_COURSES_KEY, kGuid1, "zebra links");
    ASSERT_TRUE(LoadCatalogue());
    AddNamed(GAME_COURSES_KEY, kGuid2, "Alpine");
    AddNamed(CLOAK_COURSES_KEY, kGuid3, "Hidden");
    AddNamed(GAME_LIBRARIES_KEY, kGuid1, "Trees");
    AddNamed(GAME_LIBRARIES_KEY, kGuid2, "bushes");
    AddNamed(CLOAK_LIBRARIES_KEY, kGuid4, "Rocks");

    ASSERT_TRUE(LoadCatalogue());  // replaces what the previous load listed

    EXPECT_EQ(Fields(GetInstalledCourses()), (Texts{"Alpine", "zebra links"}));
    EXPECT_EQ(GuidTexts(GetCloakedCourses()), Texts{kGuid3});
    EXPECT_EQ(GuidTexts(GetInstalledLibraries()), (Texts{kGuid2, kGuid1}));
    EXPECT_EQ(Fields(GetCloakedLibraries()), Texts{"Rocks"});
}

// 255 characters and the terminator fill a value; a longer one is never taken in part.
TEST_F(CatalogueLoading, TooLongValuesStayEmpty) {
    const std::string longest(255, 'x');
    AddEntry(GAME_COURSES_KEY, kGuid1, {{"Name", longest}, {"Filename", std::string(256, 'y')}});

    ASSERT_TRUE(LoadCatalogue());

    const CourseRecord& course = Listed(FindCourse(kGuid1));
    EXPECT_EQ(course.name, longest);
    EXPECT_EQ(course.filename, "");
    EXPECT_EQ(course.picture, "");  // missing
}

// Courses and libraries whose files are there, gone, or outside the game's folder.
TEST_F(CatalogueLoading, ContentFilesFillTheHeaderFieldsWhereTheyCanBeRead) {
    AddNamed(GAME_COURSES_KEY, kGuid1, "Links",
             WriteCourse("Links", {TestGuid(10), TestGuid(11)}, {"Trees", "Rocks"}));
    AddNamed(GAME_LIBRARIES_KEY, kGuid1, "Trees",
             WriteLibrary("Trees.tcl", TestGuid(10), "Tree Pack"));
    AddNamed(GAME_COURSES_KEY, kGuid2, "Gone", machine.GameInstallDir() + "\\Courses\\G\\G.tcr");
    const std::string outside = machine.ScratchFolder() + "\\Links.tcr";
    ASSERT_TRUE(WriteCourseFile(outside, {.guid = TestGuid(1), .name = "Links"}));
    AddNamed(GAME_COURSES_KEY, kGuid3, "Outside", outside);

    ASSERT_TRUE(LoadCatalogue());

    const CourseRecord& course = Listed(FindCourse(kGuid1));
    EXPECT_EQ(course.libraryCount, 2);
    EXPECT_EQ(course.libraryGuids[1], TestGuid(11));
    EXPECT_TRUE(IsZeroGuid(LibraryGuidInSlot(course, 2)));
    EXPECT_EQ(course.libraryNames, (Texts{"Trees", "Rocks"}));
    EXPECT_EQ(LibraryNameInSlot(course, 2), "");
    EXPECT_TRUE(course.removable);
    const LibraryRecord& library = Listed(FindLibrary(kGuid1));
    EXPECT_EQ(library.headerName, "Tree Pack");
    EXPECT_EQ(library.guid, TestGuid(10));
    EXPECT_TRUE(library.removable);

    const CourseRecord& gone = Listed(FindCourse(kGuid2));
    EXPECT_EQ(gone.libraryCount, 0);
    EXPECT_FALSE(gone.removable);
    EXPECT_FALSE(Listed(FindCourse(kGuid3)).removable);
}

// A folder is examined once per load for all its entries; the next load sees it as it is then.
TEST_F(CatalogueLoading, EntriesOfOneFolderShareItsRemovabilityUntilTheNextLoad) {
    AddNamed(GAME_LIBRARIES_KEY, kGuid1, "Trees", WriteLibrary("Trees.tcl", TestGuid(1), "T"));
    AddNamed(CLOAK_LIBRARIES_KEY, kGuid2, "Rocks", WriteLibrary("Rocks.tcl", TestGuid(2), "R"));
    AddNamed(GAME_COURSES_KEY, kGuid1, "Pine", WriteCourse("Pine", {}, {}));
    machine.WriteFile(machine.GameInstallDir() + "\\Courses\\Pine\\Pine.tca", "x");

    ASSERT_TRUE(LoadCatalogue());
    EXPECT_FALSE(GetInstalledCourses()[0].removable);
    EXPECT_TRUE(GetInstalledLibraries()[0].removable);
    EXPECT_TRUE(GetCloakedLibraries()[0].removable);

    machine.WriteFile(machine.GameInstallDir() + "\\Objects\\Sources.TLB", "x");
    ASSERT_TRUE(LoadCatalogue());
    EXPECT_FALSE(GetInstalledLibraries()[0].removable);
    EXPECT_FALSE(GetCloakedLibraries()[0].removable);
}

// Library key names are upper-cased, course key names kept; a cloaked library differing only
// in case from an installed one is not stale.
TEST_F(CatalogueLoading, LibraryKeyNamesAreUpperCasedCourseKeyNamesKept) {
    const std::string upper = "{ABCDEF01-2345-6789-ABCD-EF0123456789}";
    const std::string lower = "{abcdef01-2345-6789-abcd-ef0123456789}";
    AddNamed(GAME_LIBRARIES_KEY, upper, "Installed");
    AddNamed(CLOAK_LIBRARIES_KEY, lower, "Cloaked");
    AddNamed(GAME_COURSES_KEY, lower, "Links");

    ASSERT_TRUE(LoadCatalogue());

    EXPECT_EQ(GuidTexts(GetInstalledCourses()), Texts{lower});
    EXPECT_FALSE(IsCourseInstalled(upper));
    EXPECT_EQ(GuidTexts(GetCloakedLibraries()), Texts{upper});
    EXPECT_TRUE(EntryExists(CLOAK_LIBRARIES_KEY, lower));
}

// On the course and the library side alike.
TEST_F(CatalogueLoading, ConsecutiveStaleCloakedEntriesAreBothDeleted) {
    for (const auto& [gameStore, cloakStore] :
         {std::pair{GAME_COURSES_KEY, CLOAK_COURSES_KEY},
          std::pair{GAME_LIBRARIES_KEY, CLOAK_LIBRARIES_KEY}}) {
        for (const std::string& guid : {kGuid2, kGuid3}) {
            AddNamed(gameStore, guid, "Installed " + guid);
        }
        for (const std::string& guid : {kGuid1, kGuid2, kGuid3, kGuid4}) {
            AddNamed(cloakStore, guid, "Cloaked " + guid);
        }
    }

    ASSERT_TRUE(LoadCatalogue());

    EXPECT_EQ(GuidTexts(GetCloakedCourses()), (Texts{kGuid1, kGuid4}));
    EXPECT_EQ(GuidTexts(GetCloakedLibraries()), (Texts{kGuid1, kGuid4}));
    for (const char* store : {CLOAK_COURSES_KEY, CLOAK_LIBRARIES_KEY}) {
        EXPECT_FALSE(EntryExists(store, kGuid2) || EntryExists(store, kGuid3)) << store;
        EXPECT_TRUE(EntryExists(store, kGuid1)) << store;
    }
    EXPECT_TRUE(EntryExists(GAME_COURSES_KEY, kGuid3) && EntryExists(GAME_LIBRARIES_KEY, kGuid2));
    EXPECT_EQ(GetInstalledCourses().size() + GetInstalledLibraries().size(), 4u);
}

class CatalogueLoadingFailures : public StoreTest {
  protected:
    CatalogueLoadingFailures() : StoreTest(false) {}
};

TEST_F(CatalogueLoadingFailures, MissingStoreOrEntryKeyStopsTheLoad) {
    for (const std::string& guid : {kGuid1, kGuid2, kGuid3}) {
        AddNamed(GAME_COURSES_KEY, guid, "Course " + guid);
    }
    AddNamed(GAME_LIBRARIES_KEY, kGuid1, "Trees");
    {
        FaultInjectingMachine refusing;
        refusing.Inject({.call = MachineCall::OpenKey,
                         .pathPart = EntryPath(GAME_COURSES_KEY, kGuid2),
                         .error = ERR_ACCESS_DENIED});
        ui.ExpectError("RegOpenKeyEx returned 5");
        EXPECT_FALSE(LoadCatalogue());
    }
    EXPECT_EQ(GuidTexts(GetInstalledCourses()), Texts{kGuid1});
    EXPECT_TRUE(GetInstalledLibraries().empty());

    // The libraries' store, missing, fails after the courses.
    ASSERT_EQ(machine.GetMachine().DeleteKey(GAME_HIVE, EntryPath(GAME_LIBRARIES_KEY, kGuid1)),
              ERR_SUCCESS);
    ASSERT_EQ(machine.GetMachine().DeleteKey(GAME_HIVE, GAME_LIBRARIES_KEY), ERR_SUCCESS);
    ui.ExpectError("RegOpenKeyEx returned 2");
    EXPECT_FALSE(LoadCatalogue());
    EXPECT_EQ(GetInstalledCourses().size(), 3u);
}

}  // namespace
}  // namespace parvane::test
