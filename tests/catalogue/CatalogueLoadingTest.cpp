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
    ASSERT_TRUE(LoadCatalogue());  // empty stores load
    EXPECT_TRUE(GetInstalledCourses().empty() && GetCloakedCourses().empty() &&
                GetInstalledLibraries().empty() && GetCloakedLibraries().empty());
    AddCourse(GAME_COURSES_KEY, kGuid1, "Old");
    ASSERT_TRUE(LoadCatalogue());
    ASSERT_EQ(machine.GetMachine().DeleteKey(GAME_HIVE, EntryPath(GAME_COURSES_KEY, kGuid1)),
              ERR_SUCCESS);
    AddCourse(GAME_COURSES_KEY, kGuid1, "zebra links");
    AddCourse(GAME_COURSES_KEY, kGuid2, "Alpine");
    AddCourse(CLOAK_COURSES_KEY, kGuid3, "Hidden");
    AddLibrary(GAME_LIBRARIES_KEY, kGuid1, "Trees");
    AddLibrary(GAME_LIBRARIES_KEY, kGuid2, "bushes");
    AddLibrary(CLOAK_LIBRARIES_KEY, kGuid4, "Rocks");

    ASSERT_TRUE(LoadCatalogue());  // replaces what the previous load listed

    EXPECT_EQ(Fields(GetInstalledCourses()), (Texts{"Alpine", "zebra links"}));
    EXPECT_EQ(GuidTexts(GetCloakedCourses()), Texts{kGuid3});
    EXPECT_EQ(Fields(GetInstalledLibraries()), (Texts{"bushes", "Trees"}));
    EXPECT_EQ(GuidTexts(GetInstalledLibraries()), (Texts{kGuid2, kGuid1}));
    EXPECT_EQ(Fields(GetCloakedLibraries()), Texts{"Rocks"});
}

TEST_F(CatalogueLoading, ValuesGoToTheirFieldsAndTooLongOrNonTextOnesStayEmptyOrRaw) {
    EntryValues values;
    for (const auto& [name, field] : COURSE_VALUES) {
        values.push_back({name, std::string("C:\\c\\") + name});
    }
    AddEntry(GAME_COURSES_KEY, kGuid1, values);
    const std::string longest(255, 'x');
    AddEntry(GAME_COURSES_KEY, kGuid2,
             {{"Name", longest}, {"Filename", std::string(256, 'y')}, {"Music", ""}});
    // A DWORD is accepted and taken as bytes up to the first zero: 0x00434241 is "ABC".
    machine.SetDword(GAME_HIVE, EntryPath(GAME_COURSES_KEY, kGuid2), "Text", 0x00434241);

    ASSERT_TRUE(LoadCatalogue());

    const CourseRecord& course = Listed(FindCourse(kGuid1));
    for (const auto& [name, field] : COURSE_VALUES) {
        EXPECT_EQ(course.*field, std::string("C:\\c\\") + name);
    }
    EXPECT_TRUE(course.iniFile.empty());
    const CourseRecord& odd = Listed(FindCourse(kGuid2));
    EXPECT_EQ(odd.name, longest);
    EXPECT_EQ(odd.filename, "");  // 256 characters and the terminator do not fit
    EXPECT_EQ(odd.music, "");
    EXPECT_EQ(odd.picture, "");  // missing
    EXPECT_EQ(odd.text, "ABC");
}

// Courses and libraries whose files are there, gone, or outside the game's folder.
TEST_F(CatalogueLoading, ContentFilesFillTheHeaderFieldsWhereTheyCanBeRead) {
    AddCourse(GAME_COURSES_KEY, kGuid1, "Links",
              WriteCourse("Links", {TestGuid(10), TestGuid(11)}, {"Trees", "Rocks"}));
    AddLibrary(GAME_LIBRARIES_KEY, kGuid1, "Trees",
               WriteLibrary("Trees.tcl", TestGuid(10), "Tree Pack"));
    AddCourse(GAME_COURSES_KEY, kGuid2, "Gone", machine.GameInstallDir() + "\\Courses\\G\\G.tcr");
    AddLibrary(GAME_LIBRARIES_KEY, kGuid2, "Gone", machine.GameInstallDir() + "\\Gone.tcl");
    const std::string outside = machine.ScratchFolder() + "\\Links.tcr";
    ASSERT_TRUE(WriteCourseFile(outside, {.guid = TestGuid(1), .name = "Links"}));
    AddCourse(GAME_COURSES_KEY, kGuid3, "Outside", outside);

    ASSERT_TRUE(LoadCatalogue());

    const CourseRecord& course = Listed(FindCourse(kGuid1));
    EXPECT_EQ(course.libraryCount, 2);
    EXPECT_EQ(course.libraryGuids[1], TestGuid(11));
    EXPECT_TRUE(IsZeroGuid(course.libraryGuids[2]));
    EXPECT_EQ(Texts(course.libraryNames.begin(), course.libraryNames.begin() + 3),
              (Texts{"Trees", "Rocks", ""}));
    EXPECT_TRUE(course.removable);
    const LibraryRecord& library = Listed(FindLibrary(kGuid1));
    EXPECT_EQ(library.headerName, "Tree Pack");
    EXPECT_EQ(library.guid, TestGuid(10));
    EXPECT_TRUE(library.removable);

    const CourseRecord& gone = Listed(FindCourse(kGuid2));
    EXPECT_EQ(gone.libraryCount, 0);
    EXPECT_FALSE(gone.removable);
    EXPECT_EQ(Listed(FindLibrary(kGuid2)).headerName, "");
    EXPECT_TRUE(IsZeroGuid(Listed(FindLibrary(kGuid2)).guid));
    EXPECT_FALSE(Listed(FindCourse(kGuid3)).removable);
}

// A folder is examined once per load for all its entries; the next load sees it as it is then.
TEST_F(CatalogueLoading, EntriesOfOneFolderShareItsRemovabilityUntilTheNextLoad) {
    AddLibrary(GAME_LIBRARIES_KEY, kGuid1, "Trees", WriteLibrary("Trees.tcl", TestGuid(1), "T"));
    AddLibrary(CLOAK_LIBRARIES_KEY, kGuid2, "Rocks", WriteLibrary("Rocks.tcl", TestGuid(2), "R"));
    AddCourse(GAME_COURSES_KEY, kGuid1, "Pine", WriteCourse("Pine", {}, {}));
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
    const std::string lowerCourse = "{bbcdef01-2345-6789-abcd-ef0123456789}";
    const std::string lowerLibrary = "{cbcdef01-2345-6789-abcd-ef0123456789}";
    AddLibrary(GAME_LIBRARIES_KEY, upper, "Installed");
    AddLibrary(CLOAK_LIBRARIES_KEY, lower, "Cloaked");
    AddLibrary(GAME_LIBRARIES_KEY, lowerLibrary, "Trees");
    AddCourse(GAME_COURSES_KEY, lowerCourse, "Links");

    ASSERT_TRUE(LoadCatalogue());

    EXPECT_EQ(GuidTexts(GetInstalledLibraries()),
              (Texts{upper, "{CBCDEF01-2345-6789-ABCD-EF0123456789}"}));
    EXPECT_TRUE(IsLibraryInstalled("{CBCDEF01-2345-6789-ABCD-EF0123456789}"));
    EXPECT_EQ(GuidTexts(GetInstalledCourses()), Texts{lowerCourse});
    EXPECT_FALSE(IsCourseInstalled("{BBCDEF01-2345-6789-ABCD-EF0123456789}"));
    EXPECT_EQ(GuidTexts(GetCloakedLibraries()), Texts{upper});
    EXPECT_TRUE(EntryExists(CLOAK_LIBRARIES_KEY, lower));
}

// The course or the library side of the catalogue, for the cases both share.
struct Side {
    const char* name;
    const char* gameStore;
    const char* cloakStore;
    Texts (*cloaked)();
};
const Side COURSES = {"Courses", GAME_COURSES_KEY, CLOAK_COURSES_KEY,
                      [] { return GuidTexts(GetCloakedCourses()); }};
const Side LIBRARIES = {"Libraries", GAME_LIBRARIES_KEY, CLOAK_LIBRARIES_KEY,
                        [] { return GuidTexts(GetCloakedLibraries()); }};

void PrintTo(const Side& side, std::ostream* out) {
    *out << side.name;
}

class StaleCloakedEntries : public StoreTest, public ::testing::WithParamInterface<Side> {
  protected:
    const Side& side = GetParam();
};

INSTANTIATE_TEST_SUITE_P(, StaleCloakedEntries, ::testing::Values(COURSES, LIBRARIES),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_P(StaleCloakedEntries, ConsecutiveStaleEntriesAreBothDeleted) {
    for (const std::string& guid : {kGuid2, kGuid3}) {
        AddCourse(side.gameStore, guid, "Installed " + guid);
    }
    for (const std::string& guid : {kGuid1, kGuid2, kGuid3, kGuid4}) {
        AddCourse(side.cloakStore, guid, "Cloaked " + guid);
    }

    ASSERT_TRUE(LoadCatalogue());

    EXPECT_EQ(side.cloaked(), (Texts{kGuid1, kGuid4}));
    EXPECT_FALSE(EntryExists(side.cloakStore, kGuid2));
    EXPECT_FALSE(EntryExists(side.cloakStore, kGuid3));
    EXPECT_TRUE(EntryExists(side.cloakStore, kGuid1));
    EXPECT_TRUE(EntryExists(side.gameStore, kGuid2));
    EXPECT_TRUE(EntryExists(side.gameStore, kGuid3));
    EXPECT_EQ(GetInstalledCourses().size() + GetInstalledLibraries().size(), 2u);
}

TEST_P(StaleCloakedEntries, UndeletableStaleEntryIsReportedOnceAndLaterKeysStillLoad) {
    AddCourse(side.gameStore, kGuid2, "Installed");
    AddCourse(side.cloakStore, kGuid1, "First");
    AddCourse(side.cloakStore, kGuid2, "Stale");
    // RegDeleteKey refuses a key that has subkeys.
    machine.CreateKey(GAME_HIVE, EntryPath(side.cloakStore, kGuid2) + "\\Pinned");
    AddCourse(side.cloakStore, kGuid3, "Third");
    const std::string kind = side.gameStore == GAME_COURSES_KEY ? "course" : "library";
    ui.ExpectError("Failed to remove cloaked entry for " + kind + " with ID=" + kGuid2 + "\nThis " +
                   kind + " will remain in the cloaked store, but will not be\nlisted on screen.");

    ASSERT_TRUE(LoadCatalogue());

    EXPECT_EQ(side.cloaked(), (Texts{kGuid1, kGuid3}));
    EXPECT_TRUE(EntryExists(side.cloakStore, kGuid2));
    EXPECT_FALSE(IsCourseCloaked(kGuid2) || IsLibraryCloaked(kGuid2));
}

class CatalogueLoadingFailures : public StoreTest {
  protected:
    CatalogueLoadingFailures() : StoreTest(false) {}
};

TEST_F(CatalogueLoadingFailures, CloakRootWithoutCoursesKeyFailsWithStatus2) {
    machine.CreateKey(GAME_HIVE, CLOAK_LIBRARIES_KEY);
    ASSERT_TRUE(DetectSupportedGames());
    ASSERT_TRUE(IsCloakingToolPresent());
    AddCourse(GAME_COURSES_KEY, kGuid1, "Links");
    AddLibrary(GAME_LIBRARIES_KEY, kGuid1, "Trees");
    ui.ExpectError("RegOpenKeyEx returned 2");

    EXPECT_FALSE(LoadCatalogue());

    // What was loaded before the failure stays.
    EXPECT_EQ(GetInstalledCourses().size(), 1u);
    EXPECT_EQ(GetInstalledLibraries().size(), 1u);
    EXPECT_TRUE(GetCloakedLibraries().empty());
}

TEST_F(CatalogueLoadingFailures, MissingStoreOrEntryKeyStopsTheLoad) {
    for (const std::string& guid : {kGuid1, kGuid2, kGuid3}) {
        AddCourse(GAME_COURSES_KEY, guid, "Course " + guid);
    }
    AddLibrary(GAME_LIBRARIES_KEY, kGuid1, "Trees");
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
