#include <gtest/gtest.h>

#include <string>

#include "StoreFixture.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueLoading.h"
#include "catalogue/Registration.h"
#include "platform/RegistryKey.h"

namespace parvane::test {
namespace {

const std::string kGuid1 = OrderedGuidText(1);
const std::string kGuid2 = OrderedGuidText(2);

// Every value filled with a path of its own below C:\Courses\<name>.
CourseRecord FilledCourse(const std::string& guidText, const std::string& name) {
    CourseRecord course;
    course.guidText = guidText;
    for (const auto& [value, field] : COURSE_VALUES) {
        course.*field = "C:\\Courses\\" + name + "\\" + value;
    }
    course.name = name;
    return course;
}

LibraryRecord FilledLibrary(const std::string& guidText, const std::string& name,
                            const std::string& filename) {
    LibraryRecord library;
    library.guidText = guidText;
    library.name = name;
    library.filename = filename;
    return library;
}

class Registration : public StoreTest {
  protected:
    // The value as stored, type and bytes: what the game reads back.
    void ExpectStoredText(const char* store, const std::string& keyName, const char* valueName,
                          const std::string& text) {
        RegistryKey key;
        ASSERT_EQ(key.Open(GAME_HIVE, EntryPath(store, keyName)), ERR_SUCCESS);
        std::uint32_t type = 0;
        std::string data;
        ASSERT_EQ(TheMachine().QueryValue(key.Handle(), valueName, 1024, type, data), ERR_SUCCESS)
            << valueName;
        EXPECT_EQ(type, REGTYPE_SZ) << valueName;
        EXPECT_EQ(data.substr(0, data.find('\0')), text) << valueName;
    }
};

TEST_F(Registration, CourseEntryGetsItsEightValuesOverWhatTheKeyHeldAndJoinsTheSortedList) {
    AddEntry(GAME_COURSES_KEY, kGuid1, {{"Name", "Old name"}, {"Version", "1.2"}});
    CourseRecord first = FilledCourse(kGuid1, "Zephyr");
    first.picture.clear();  // empty fields are written as empty values
    first.text.clear();
    ASSERT_TRUE(RegisterCourse(first));
    CourseRecord second = FilledCourse(kGuid2, "Alpine");
    ASSERT_TRUE(RegisterCourse(second));

    for (const auto& [value, field] : COURSE_VALUES) {
        ExpectStoredText(GAME_COURSES_KEY, kGuid1, value, first.*field);
    }
    ExpectStoredText(GAME_COURSES_KEY, kGuid1, "Version", "1.2");
    EXPECT_EQ(GuidTexts(GetInstalledCourses()), (Texts{kGuid2, kGuid1}));
    EXPECT_FALSE(EntryExists(CLOAK_COURSES_KEY, kGuid1));

    // What registration wrote, a load reads back the same.
    ASSERT_TRUE(LoadCatalogue());
    for (const auto& [value, field] : COURSE_VALUES) {
        EXPECT_EQ(Listed(FindCourse(kGuid1)).*field, first.*field) << value;
    }
}

TEST_F(Registration, LibraryEntryGetsTwoValuesAndItsHeaderFields) {
    LibraryRecord library =
        FilledLibrary(kGuid1, "Trees", WriteLibrary("Trees.tcl", TestGuid(5), "Tree Pack"));

    ASSERT_TRUE(RegisterLibrary(library));

    ExpectStoredText(GAME_LIBRARIES_KEY, kGuid1, "Name", "Trees");
    ExpectStoredText(GAME_LIBRARIES_KEY, kGuid1, "Filename", library.filename);
    EXPECT_EQ(library.headerName, "Tree Pack");
    EXPECT_EQ(library.guid, TestGuid(5));
    EXPECT_TRUE(library.removable);
    EXPECT_TRUE(IsLibraryInstalled(kGuid1));
}

TEST_F(Registration, ValueLongerThan255CharactersIsRefusedBeforeAnythingIsWritten) {
    CourseRecord course = FilledCourse(kGuid1, "Links");
    course.picture = "C:\\" + std::string(253, 'p');  // 256 characters
    ui.ExpectError(Containing("\"Picture\""));

    EXPECT_FALSE(RegisterCourse(course));

    EXPECT_FALSE(EntryExists(GAME_COURSES_KEY, kGuid1));
    EXPECT_TRUE(GetInstalledCourses().empty());
    course.picture.pop_back();  // 255 characters fit
    EXPECT_TRUE(RegisterCourse(course));
}

using Unregistration = StoreTest;

// Each entry is deleted from the store that listed it, even when the other store gained the
// same name after the load; a library key in lower case is deleted through its upper-case text.
TEST_F(Unregistration, EntriesAreDeletedFromTheStoreThatListedThem) {
    const std::string lower = "{abcdef01-2345-6789-abcd-ef0123456789}";
    AddNamed(GAME_COURSES_KEY, kGuid1, "Links");
    AddNamed(GAME_LIBRARIES_KEY, lower, "Trees");
    AddNamed(CLOAK_COURSES_KEY, kGuid2, "Hidden");
    AddNamed(CLOAK_LIBRARIES_KEY, kGuid2, "Hidden");
    ASSERT_TRUE(LoadCatalogue());
    AddNamed(GAME_COURSES_KEY, kGuid2, "Visible");
    AddNamed(GAME_LIBRARIES_KEY, kGuid2, "Visible");

    EXPECT_TRUE(UnregisterCourse(GetInstalledCourses()[0]));
    EXPECT_TRUE(UnregisterLibrary(GetInstalledLibraries()[0]));
    EXPECT_TRUE(UnregisterCourse(GetCloakedCourses()[0]));
    EXPECT_TRUE(UnregisterLibrary(GetCloakedLibraries()[0]));

    EXPECT_FALSE(EntryExists(GAME_COURSES_KEY, kGuid1));
    EXPECT_FALSE(EntryExists(GAME_LIBRARIES_KEY, lower));
    EXPECT_FALSE(EntryExists(CLOAK_COURSES_KEY, kGuid2));
    EXPECT_FALSE(EntryExists(CLOAK_LIBRARIES_KEY, kGuid2));
    EXPECT_TRUE(EntryExists(GAME_COURSES_KEY, kGuid2));
    EXPECT_TRUE(EntryExists(GAME_LIBRARIES_KEY, kGuid2));
    // The lists wait for the next load.
    EXPECT_EQ(GetInstalledCourses().size(), 1u);
}

// One library GUID in both stores, in other letter cases (both listed in upper case): each
// record names its own store.
TEST_F(Unregistration, AGuidInBothStoresIsDeletedFromTheListedOneOnly) {
    const std::string upper = "{ABCDEF01-2345-6789-ABCD-EF0123456789}";
    const std::string lower = "{abcdef01-2345-6789-abcd-ef0123456789}";
    AddNamed(GAME_LIBRARIES_KEY, upper, "Trees");
    AddNamed(CLOAK_LIBRARIES_KEY, lower, "Hidden");
    ASSERT_TRUE(LoadCatalogue());
    ASSERT_EQ(GetCloakedLibraries().size(), 1u);

    EXPECT_TRUE(UnregisterLibrary(GetInstalledLibraries()[0]));

    EXPECT_FALSE(EntryExists(GAME_LIBRARIES_KEY, upper));
    EXPECT_TRUE(EntryExists(CLOAK_LIBRARIES_KEY, lower));
}

TEST_F(Unregistration, MissingKeyIsReportedWithStatus2) {
    ui.ExpectError("RegDeleteKey returned 2");
    EXPECT_FALSE(UnregisterLibrary(FilledLibrary(kGuid2, "Trees", "")));
}

}  // namespace
}  // namespace parvane::test
