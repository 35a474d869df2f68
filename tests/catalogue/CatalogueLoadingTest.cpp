#include <gtest/gtest.h>

#include <string>

#include "StoreFixture.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueLoading.h"
#include "support/ForwardingMachine.h"

namespace parvane::test {
namespace {

const std::string kGuid1 = OrderedGuidText(1);
const std::string kGuid2 = OrderedGuidText(2);
const std::string kGuid3 = OrderedGuidText(3);
const std::string kGuid4 = OrderedGuidText(4);

std::string StaleCourseMessage(const std::string& keyName) {
    return "Failed to remove cloaked entry for course with ID=" + keyName +
           "\nThis course will remain in the cloaked store, but will not be\nlisted on screen.";
}

std::string StaleLibraryMessage(const std::string& keyName) {
    return "Failed to remove cloaked entry for library with ID=" + keyName +
           "\nThis library will remain in the cloaked store, but will not be\nlisted on screen.";
}

class CatalogueLoading : public StoreTest {};

TEST_F(CatalogueLoading, EmptyStoresGiveEmptyListsAndSuccess) {
    ASSERT_TRUE(LoadCatalogue());
    EXPECT_TRUE(GetInstalledCourses().empty());
    EXPECT_TRUE(GetCloakedCourses().empty());
    EXPECT_TRUE(GetInstalledLibraries().empty());
    EXPECT_TRUE(GetCloakedLibraries().empty());
}

TEST_F(CatalogueLoading, EachStoreFillsItsOwnListSortedByNameIgnoringCase) {
    AddCourse(GAME_COURSES_KEY, kGuid1, "zebra links");
    AddCourse(GAME_COURSES_KEY, kGuid2, "Alpine");
    AddCourse(CLOAK_COURSES_KEY, kGuid3, "Hidden");
    AddLibrary(GAME_LIBRARIES_KEY, kGuid1, "Trees");
    AddLibrary(GAME_LIBRARIES_KEY, kGuid2, "bushes");
    AddLibrary(CLOAK_LIBRARIES_KEY, kGuid4, "Rocks");

    ASSERT_TRUE(LoadCatalogue());

    ASSERT_EQ(GetInstalledCourses().size(), 2u);
    EXPECT_EQ(GetInstalledCourses()[0].name, "Alpine");
    EXPECT_EQ(GetInstalledCourses()[1].name, "zebra links");
    ASSERT_EQ(GetCloakedCourses().size(), 1u);
    EXPECT_EQ(GetCloakedCourses()[0].guidText, kGuid3);
    ASSERT_EQ(GetInstalledLibraries().size(), 2u);
    EXPECT_EQ(GetInstalledLibraries()[0].name, "bushes");
    EXPECT_EQ(GetInstalledLibraries()[1].guidText, kGuid1);
    ASSERT_EQ(GetCloakedLibraries().size(), 1u);
    EXPECT_EQ(GetCloakedLibraries()[0].name, "Rocks");
}

TEST_F(CatalogueLoading, ALoadReplacesWhatThePreviousOneListed) {
    AddCourse(GAME_COURSES_KEY, kGuid1, "Links");
    ASSERT_TRUE(LoadCatalogue());
    ASSERT_TRUE(machine.GetMachine().DeleteKey(GAME_HIVE, EntryPath(GAME_COURSES_KEY, kGuid1)) ==
                ERR_SUCCESS);
    AddCourse(GAME_COURSES_KEY, kGuid2, "Dunes");

    ASSERT_TRUE(LoadCatalogue());

    ASSERT_EQ(GetInstalledCourses().size(), 1u);
    EXPECT_EQ(GetInstalledCourses()[0].guidText, kGuid2);
}

TEST_F(CatalogueLoading, CourseValuesGoToTheirFields) {
    AddEntry(GAME_COURSES_KEY, kGuid1,
             {{"Name", "Links"},
              {"Filename", "C:\\c\\Links.tcr"},
              {"Audio", "C:\\c\\"},
              {"Music", "C:\\c\\m.mp3"},
              {"Picture", "C:\\c\\p.jpg"},
              {"Text", "C:\\c\\t.txt"},
              {"Flag", "C:\\c\\f.dds"},
              {"Logo", "C:\\c\\l.dds"}});
    ASSERT_TRUE(LoadCatalogue());
    ASSERT_EQ(GetInstalledCourses().size(), 1u);
    const CourseRecord& course = GetInstalledCourses()[0];
    EXPECT_EQ(course.guidText, kGuid1);
    EXPECT_EQ(course.name, "Links");
    EXPECT_EQ(course.filename, "C:\\c\\Links.tcr");
    EXPECT_EQ(course.audio, "C:\\c\\");
    EXPECT_EQ(course.music, "C:\\c\\m.mp3");
    EXPECT_EQ(course.picture, "C:\\c\\p.jpg");
    EXPECT_EQ(course.text, "C:\\c\\t.txt");
    EXPECT_EQ(course.flag, "C:\\c\\f.dds");
    EXPECT_EQ(course.logo, "C:\\c\\l.dds");
    EXPECT_TRUE(course.iniFile.empty());
}

TEST_F(CatalogueLoading, MissingTooLongAndNonTextValuesLeaveFieldsEmptyOrRaw) {
    const std::string longest(255, 'x');
    AddEntry(GAME_COURSES_KEY, kGuid1,
             {{"Name", longest}, {"Filename", std::string(256, 'y')}, {"Music", ""}});
    // A DWORD is accepted and taken as bytes up to the first zero: 0x00434241 is "ABC".
    machine.SetDword(GAME_HIVE, EntryPath(GAME_COURSES_KEY, kGuid1), "Text", 0x00434241);

    ASSERT_TRUE(LoadCatalogue());

    ASSERT_EQ(GetInstalledCourses().size(), 1u);
    const CourseRecord& course = GetInstalledCourses()[0];
    EXPECT_EQ(course.name, longest);
    EXPECT_EQ(course.filename, "");  // 256 characters and the terminator do not fit
    EXPECT_EQ(course.music, "");
    EXPECT_EQ(course.picture, "");  // missing
    EXPECT_EQ(course.text, "ABC");
}

TEST_F(CatalogueLoading, CourseAndLibraryFilesFillTheirHeaderFields) {
    const std::vector<GUID> referenced = {TestGuid(10), TestGuid(11)};
    const std::string courseFile = WriteCourse("Links", referenced, {"Trees", "Rocks"});
    const std::string libraryFile = WriteLibrary("Trees.tcl", TestGuid(10), "Tree Pack");
    AddCourse(GAME_COURSES_KEY, kGuid1, "Links", courseFile);
    AddLibrary(GAME_LIBRARIES_KEY, kGuid1, "Trees", libraryFile);

    ASSERT_TRUE(LoadCatalogue());

    const CourseRecord& course = GetInstalledCourses()[0];
    EXPECT_EQ(course.libraryCount, 2);
    EXPECT_EQ(course.libraryGuids[0], TestGuid(10));
    EXPECT_EQ(course.libraryGuids[1], TestGuid(11));
    EXPECT_TRUE(IsZeroGuid(course.libraryGuids[2]));
    EXPECT_EQ(course.libraryNames[0], "Trees");
    EXPECT_EQ(course.libraryNames[1], "Rocks");
    EXPECT_EQ(course.libraryNames[2], "");
    EXPECT_TRUE(course.removable);
    const LibraryRecord& library = GetInstalledLibraries()[0];
    EXPECT_EQ(library.headerName, "Tree Pack");
    EXPECT_EQ(library.guid, TestGuid(10));
    EXPECT_TRUE(library.removable);
    EXPECT_FALSE(library.skip);
}

TEST_F(CatalogueLoading, ContentWhoseFileIsGoneIsListedWithoutFileFields) {
    AddCourse(GAME_COURSES_KEY, kGuid1, "Gone",
              machine.GameInstallDir() + "\\Courses\\Gone\\Gone.tcr");
    AddLibrary(GAME_LIBRARIES_KEY, kGuid1, "Gone", machine.GameInstallDir() + "\\Gone.tcl");

    ASSERT_TRUE(LoadCatalogue());

    ASSERT_EQ(GetInstalledCourses().size(), 1u);
    const CourseRecord& course = GetInstalledCourses()[0];
    EXPECT_EQ(course.libraryCount, 0);
    for (const std::string& name : course.libraryNames) {
        EXPECT_EQ(name, "");
    }
    EXPECT_FALSE(course.removable);
    ASSERT_EQ(GetInstalledLibraries().size(), 1u);
    EXPECT_EQ(GetInstalledLibraries()[0].headerName, "");
    EXPECT_TRUE(IsZeroGuid(GetInstalledLibraries()[0].guid));
}

TEST_F(CatalogueLoading, CourseOutsideTheGameFolderIsNotRemovable) {
    const std::string outside = machine.ScratchFolder() + "\\Links.tcr";
    CourseFileContent content;
    content.guid = TestGuid(1);
    content.name = "Links";
    ASSERT_TRUE(WriteCourseFile(outside, content));
    AddCourse(GAME_COURSES_KEY, kGuid1, "Links", outside);

    ASSERT_TRUE(LoadCatalogue());

    EXPECT_FALSE(GetInstalledCourses()[0].removable);
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

TEST_F(CatalogueLoading, LibraryKeyNamesAreUpperCasedCourseKeyNamesKept) {
    const std::string lowerLibrary = "{abcdef01-2345-6789-abcd-ef0123456789}";
    const std::string lowerCourse = "{bbcdef01-2345-6789-abcd-ef0123456789}";
    AddLibrary(GAME_LIBRARIES_KEY, lowerLibrary, "Trees");
    AddCourse(GAME_COURSES_KEY, lowerCourse, "Links");

    ASSERT_TRUE(LoadCatalogue());

    EXPECT_EQ(GetInstalledLibraries()[0].guidText, "{ABCDEF01-2345-6789-ABCD-EF0123456789}");
    EXPECT_TRUE(IsLibraryInstalled("{ABCDEF01-2345-6789-ABCD-EF0123456789}"));
    EXPECT_EQ(GetInstalledCourses()[0].guidText, lowerCourse);
    EXPECT_FALSE(IsCourseInstalled("{BBCDEF01-2345-6789-ABCD-EF0123456789}"));
}

TEST_F(CatalogueLoading, KeyNameOf128CharactersEndsTheEnumeration) {
    // Enumerated in this order: a 127-character name, kGuid2, a 128-character name, kGuid4.
    const std::string fits = "{00000001" + std::string(118, 'A');
    const std::string tooLong = "{00000003" + std::string(119, 'B');
    ASSERT_EQ(fits.size(), 127u);
    ASSERT_EQ(tooLong.size(), 128u);
    AddCourse(GAME_COURSES_KEY, fits, "Fits");
    AddCourse(GAME_COURSES_KEY, kGuid2, "Before");
    AddCourse(GAME_COURSES_KEY, tooLong, "Too long");
    AddCourse(GAME_COURSES_KEY, kGuid4, "After");

    ASSERT_TRUE(LoadCatalogue());

    ASSERT_EQ(GetInstalledCourses().size(), 2u);
    EXPECT_EQ(GetInstalledCourses()[0].name, "Before");
    EXPECT_EQ(GetInstalledCourses()[1].guidText, fits);
    EXPECT_TRUE(EntryExists(GAME_COURSES_KEY, tooLong));
}

class StaleCloakedEntries : public StoreTest {};

TEST_F(StaleCloakedEntries, ConsecutiveStaleCoursesAreBothDeleted) {
    for (const std::string& guid : {kGuid2, kGuid3}) {
        AddCourse(GAME_COURSES_KEY, guid, "Installed " + guid);
    }
    for (const std::string& guid : {kGuid1, kGuid2, kGuid3, kGuid4}) {
        AddCourse(CLOAK_COURSES_KEY, guid, "Cloaked " + guid);
    }

    ASSERT_TRUE(LoadCatalogue());

    EXPECT_EQ(GetInstalledCourses().size(), 2u);
    ASSERT_EQ(GetCloakedCourses().size(), 2u);
    EXPECT_EQ(GetCloakedCourses()[0].guidText, kGuid1);
    EXPECT_EQ(GetCloakedCourses()[1].guidText, kGuid4);
    EXPECT_FALSE(EntryExists(CLOAK_COURSES_KEY, kGuid2));
    EXPECT_FALSE(EntryExists(CLOAK_COURSES_KEY, kGuid3));
    EXPECT_TRUE(EntryExists(CLOAK_COURSES_KEY, kGuid1));
    EXPECT_TRUE(EntryExists(GAME_COURSES_KEY, kGuid2));
    EXPECT_TRUE(EntryExists(GAME_COURSES_KEY, kGuid3));
}

TEST_F(StaleCloakedEntries, ConsecutiveStaleLibrariesAreBothDeleted) {
    for (const std::string& guid : {kGuid1, kGuid2}) {
        AddLibrary(GAME_LIBRARIES_KEY, guid, "Installed");
        AddLibrary(CLOAK_LIBRARIES_KEY, guid, "Cloaked");
    }
    AddLibrary(CLOAK_LIBRARIES_KEY, kGuid3, "Only cloaked");

    ASSERT_TRUE(LoadCatalogue());

    ASSERT_EQ(GetCloakedLibraries().size(), 1u);
    EXPECT_EQ(GetCloakedLibraries()[0].guidText, kGuid3);
    EXPECT_FALSE(EntryExists(CLOAK_LIBRARIES_KEY, kGuid1));
    EXPECT_FALSE(EntryExists(CLOAK_LIBRARIES_KEY, kGuid2));
    EXPECT_EQ(GetInstalledLibraries().size(), 2u);
}

TEST_F(StaleCloakedEntries, UndeletableStaleCourseIsReportedOnceAndLaterKeysStillLoad) {
    AddCourse(GAME_COURSES_KEY, kGuid1, "Installed");
    AddCourse(CLOAK_COURSES_KEY, kGuid1, "Stale");
    // RegDeleteKey refuses a key that has subkeys.
    machine.CreateKey(GAME_HIVE, EntryPath(CLOAK_COURSES_KEY, kGuid1) + "\\Pinned");
    AddCourse(CLOAK_COURSES_KEY, kGuid2, "Second");
    AddCourse(CLOAK_COURSES_KEY, kGuid3, "Third");
    ui.ExpectError(StaleCourseMessage(kGuid1));

    ASSERT_TRUE(LoadCatalogue());

    ASSERT_EQ(GetCloakedCourses().size(), 2u);
    EXPECT_EQ(GetCloakedCourses()[0].guidText, kGuid2);
    EXPECT_EQ(GetCloakedCourses()[1].guidText, kGuid3);
    EXPECT_TRUE(EntryExists(CLOAK_COURSES_KEY, kGuid1));
    EXPECT_FALSE(IsCourseCloaked(kGuid1));
}

TEST_F(StaleCloakedEntries, UndeletableStaleLibraryIsReportedOnceAndLaterKeysStillLoad) {
    AddLibrary(GAME_LIBRARIES_KEY, kGuid2, "Installed");
    AddLibrary(CLOAK_LIBRARIES_KEY, kGuid1, "First");
    AddLibrary(CLOAK_LIBRARIES_KEY, kGuid2, "Stale");
    machine.CreateKey(GAME_HIVE, EntryPath(CLOAK_LIBRARIES_KEY, kGuid2) + "\\Pinned");
    AddLibrary(CLOAK_LIBRARIES_KEY, kGuid3, "Third");
    ui.ExpectError(StaleLibraryMessage(kGuid2));

    ASSERT_TRUE(LoadCatalogue());

    ASSERT_EQ(GetCloakedLibraries().size(), 2u);
    EXPECT_EQ(GetCloakedLibraries()[0].name, "First");
    EXPECT_EQ(GetCloakedLibraries()[1].name, "Third");
    EXPECT_TRUE(EntryExists(CLOAK_LIBRARIES_KEY, kGuid2));
}

TEST_F(StaleCloakedEntries, CloakedLibraryDifferingOnlyInCaseIsNotStale) {
    const std::string upper = "{ABCDEF01-2345-6789-ABCD-EF0123456789}";
    const std::string lower = "{abcdef01-2345-6789-abcd-ef0123456789}";
    AddLibrary(GAME_LIBRARIES_KEY, upper, "Installed");
    AddLibrary(CLOAK_LIBRARIES_KEY, lower, "Cloaked");

    ASSERT_TRUE(LoadCatalogue());

    ASSERT_EQ(GetCloakedLibraries().size(), 1u);
    EXPECT_EQ(GetCloakedLibraries()[0].guidText, upper);
    EXPECT_EQ(GetInstalledLibraries()[0].guidText, upper);
    EXPECT_TRUE(EntryExists(CLOAK_LIBRARIES_KEY, lower));
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

TEST_F(CatalogueLoadingFailures, WithoutTheCloakingToolItsStoreIsNotRead) {
    AddCourse(CLOAK_COURSES_KEY, kGuid1, "Hidden");
    ASSERT_FALSE(IsCloakingToolPresent());  // detected before the key appeared

    ASSERT_TRUE(LoadCatalogue());

    EXPECT_TRUE(GetCloakedCourses().empty());
}

TEST_F(CatalogueLoadingFailures, MissingGameLibrariesKeyFailsAfterTheCourses) {
    AddCourse(GAME_COURSES_KEY, kGuid1, "Links");
    ASSERT_EQ(machine.GetMachine().DeleteKey(GAME_HIVE, GAME_LIBRARIES_KEY), ERR_SUCCESS);
    ui.ExpectError("RegOpenKeyEx returned 2");

    EXPECT_FALSE(LoadCatalogue());

    EXPECT_EQ(GetInstalledCourses().size(), 1u);
}

// The machine refuses to open one key.
class KeyThatWillNotOpen : public ForwardingMachine {
  public:
    explicit KeyThatWillNotOpen(std::string path) : refused(std::move(path)) {}
    Win32Error OpenKey(Hive hive, const std::string& subKey, KeyHandle& key) override {
        return subKey == refused ? ERR_ACCESS_DENIED
                                 : ForwardingMachine::OpenKey(hive, subKey, key);
    }

  private:
    std::string refused;
};

TEST_F(CatalogueLoadingFailures, EntryKeyThatCannotBeOpenedStopsTheLoad) {
    for (const std::string& guid : {kGuid1, kGuid2, kGuid3}) {
        AddCourse(GAME_COURSES_KEY, guid, "Course " + guid);
    }
    AddLibrary(GAME_LIBRARIES_KEY, kGuid1, "Trees");
    KeyThatWillNotOpen refusing(EntryPath(GAME_COURSES_KEY, kGuid2));
    ui.ExpectError("RegOpenKeyEx returned 5");

    EXPECT_FALSE(LoadCatalogue());

    ASSERT_EQ(GetInstalledCourses().size(), 1u);
    EXPECT_EQ(GetInstalledCourses()[0].guidText, kGuid1);
    EXPECT_TRUE(GetInstalledLibraries().empty());
}

}  // namespace
}  // namespace parvane::test
