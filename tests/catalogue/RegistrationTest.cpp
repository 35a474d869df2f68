#include <gtest/gtest.h>

#include <string>

#include "StoreFixture.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueLoading.h"
#include "catalogue/Registration.h"
#include "platform/RegistryKey.h"
#include "support/FaultInjectingMachine.h"

namespace parvane::test {
namespace {

const std::string kGuid1 = OrderedGuidText(1);
const std::string kGuid2 = OrderedGuidText(2);

CourseRecord FilledCourse(const std::string& guidText, const std::string& name) {
    CourseRecord course;
    course.guidText = guidText;
    course.name = name;
    course.filename = "C:\\Courses\\" + name + "\\" + name + ".tcr";
    course.flag = "C:\\Courses\\" + name + "\\flag.dds";
    course.logo = "C:\\Courses\\" + name + "\\logo.dds";
    course.audio = "C:\\Courses\\" + name + "\\";
    course.music = "C:\\Courses\\" + name + "\\music.mp3";
    course.picture = "C:\\Courses\\" + name + "\\picture.jpg";
    course.text = "C:\\Courses\\" + name + "\\text.txt";
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

TEST_F(Registration, CourseEntryGetsItsEightValuesAndJoinsTheSortedList) {
    CourseRecord first = FilledCourse(kGuid1, "Zephyr");
    ASSERT_TRUE(RegisterCourse(first));
    CourseRecord second = FilledCourse(kGuid2, "Alpine");
    ASSERT_TRUE(RegisterCourse(second));

    ExpectStoredText(GAME_COURSES_KEY, kGuid1, "Name", "Zephyr");
    ExpectStoredText(GAME_COURSES_KEY, kGuid1, "Filename", first.filename);
    ExpectStoredText(GAME_COURSES_KEY, kGuid1, "Flag", first.flag);
    ExpectStoredText(GAME_COURSES_KEY, kGuid1, "Logo", first.logo);
    ExpectStoredText(GAME_COURSES_KEY, kGuid1, "Audio", first.audio);
    ExpectStoredText(GAME_COURSES_KEY, kGuid1, "Music", first.music);
    ExpectStoredText(GAME_COURSES_KEY, kGuid1, "Picture", first.picture);
    ExpectStoredText(GAME_COURSES_KEY, kGuid1, "Text", first.text);
    ASSERT_EQ(GetInstalledCourses().size(), 2u);
    EXPECT_EQ(GetInstalledCourses()[0].name, "Alpine");
    EXPECT_EQ(GetInstalledCourses()[1].guidText, kGuid1);
    EXPECT_FALSE(EntryExists(CLOAK_COURSES_KEY, kGuid1));

    // What registration wrote, a load reads back the same.
    ASSERT_TRUE(LoadCatalogue());
    const CourseRecord* loaded = FindCourse(kGuid1);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->music, first.music);
    EXPECT_EQ(loaded->logo, first.logo);
}

TEST_F(Registration, EmptyFieldsAreWrittenAsEmptyValues) {
    CourseRecord course = FilledCourse(kGuid1, "Links");
    course.music.clear();
    course.picture.clear();
    course.text.clear();

    ASSERT_TRUE(RegisterCourse(course));

    ExpectStoredText(GAME_COURSES_KEY, kGuid1, "Music", "");
    ExpectStoredText(GAME_COURSES_KEY, kGuid1, "Picture", "");
    ExpectStoredText(GAME_COURSES_KEY, kGuid1, "Text", "");
}

TEST_F(Registration, RegisteringOverAnExistingKeyKeepsItsOtherValues) {
    AddEntry(GAME_COURSES_KEY, kGuid1, {{"Name", "Old name"}, {"Version", "1.2"}});

    CourseRecord course = FilledCourse(kGuid1, "New name");
    ASSERT_TRUE(RegisterCourse(course));

    ExpectStoredText(GAME_COURSES_KEY, kGuid1, "Name", "New name");
    ExpectStoredText(GAME_COURSES_KEY, kGuid1, "Version", "1.2");
}

TEST_F(Registration, CourseRecordIsCompletedFromItsFile) {
    CourseRecord course = FilledCourse(kGuid1, "Links");
    course.filename = WriteCourse("Links", {TestGuid(7)}, {"Palms"});

    ASSERT_TRUE(RegisterCourse(course));

    EXPECT_EQ(course.libraryCount, 1);
    EXPECT_EQ(course.libraryGuids[0], TestGuid(7));
    EXPECT_EQ(course.libraryNames[0], "Palms");
    EXPECT_TRUE(course.removable);
    const CourseRecord* listed = FindCourse(kGuid1);
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(listed->libraryCount, 1);
    EXPECT_TRUE(listed->removable);
}

TEST_F(Registration, CourseWithoutReadableFileKeepsWhatTheCallerFilled) {
    CourseRecord course = FilledCourse(kGuid1, "Links");
    course.libraryNames[0] = "From the package";
    course.libraryGuids[0] = TestGuid(3);
    course.libraryCount = 1;

    ASSERT_TRUE(RegisterCourse(course));

    EXPECT_EQ(course.libraryNames[0], "From the package");
    EXPECT_EQ(course.libraryCount, 1);
    EXPECT_FALSE(course.removable);
    EXPECT_EQ(GetInstalledCourses().size(), 1u);
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
    ASSERT_TRUE(LoadCatalogue());
    EXPECT_EQ(GetInstalledLibraries()[0].headerName, "Tree Pack");
}

TEST_F(Registration, ValueLongerThan255CharactersIsRefusedBeforeAnythingIsWritten) {
    CourseRecord course = FilledCourse(kGuid1, "Links");
    course.picture = "C:\\" + std::string(253, 'p');  // 256 characters
    ui.ExpectError(Containing("\"Picture\""));

    EXPECT_FALSE(RegisterCourse(course));

    EXPECT_FALSE(EntryExists(GAME_COURSES_KEY, kGuid1));
    EXPECT_TRUE(GetInstalledCourses().empty());
}

TEST_F(Registration, KeyThatCannotBeCreatedIsReportedAndNothingIsListed) {
    FaultInjectingMachine refusing;
    refusing.Inject(
        {.call = MachineCall::CreateKey, .count = EVERY_CALL, .error = ERR_ACCESS_DENIED});
    CourseRecord course = FilledCourse(kGuid1, "Links");
    LibraryRecord library = FilledLibrary(kGuid1, "Trees", "C:\\Trees.tcl");
    ui.ExpectError("RegCreateKeyEx returned 5");
    ui.ExpectError("RegCreateKeyEx returned 5");

    EXPECT_FALSE(RegisterCourse(course));
    EXPECT_FALSE(RegisterLibrary(library));

    EXPECT_TRUE(GetInstalledCourses().empty());
    EXPECT_TRUE(GetInstalledLibraries().empty());
}

TEST_F(Registration, FirstValueThatCannotBeSetStopsTheWritingAndKeepsTheEarlierOnes) {
    AddEntry(GAME_COURSES_KEY, kGuid1, {{"Version", "1.2"}});  // a new entry would be removed
    CourseRecord course = FilledCourse(kGuid1, "Links");
    {
        FaultInjectingMachine refusing;
        refusing.Inject(
            {.call = MachineCall::SetValue, .pathPart = "\\Flag", .error = ERR_ACCESS_DENIED});
        ui.ExpectError("RegSetValueEx returned 5");
        EXPECT_FALSE(RegisterCourse(course));
    }

    ExpectStoredText(GAME_COURSES_KEY, kGuid1, "Name", "Links");
    ExpectStoredText(GAME_COURSES_KEY, kGuid1, "Filename", course.filename);
    std::string value;
    EXPECT_FALSE(
        machine.QueryString(GAME_HIVE, EntryPath(GAME_COURSES_KEY, kGuid1), "Logo", value));
    EXPECT_TRUE(GetInstalledCourses().empty());
}

class Unregistration : public StoreTest {};

TEST_F(Unregistration, InstalledEntriesAreDeletedFromTheGameStore) {
    AddCourse(GAME_COURSES_KEY, kGuid1, "Links");
    AddLibrary(GAME_LIBRARIES_KEY, kGuid1, "Trees");
    ASSERT_TRUE(LoadCatalogue());

    EXPECT_TRUE(UnregisterCourse(GetInstalledCourses()[0]));
    EXPECT_TRUE(UnregisterLibrary(GetInstalledLibraries()[0]));

    EXPECT_FALSE(EntryExists(GAME_COURSES_KEY, kGuid1));
    EXPECT_FALSE(EntryExists(GAME_LIBRARIES_KEY, kGuid1));
    // The lists wait for the next load.
    EXPECT_EQ(GetInstalledCourses().size(), 1u);
}

TEST_F(Unregistration, CloakedEntriesAreDeletedOnlyFromTheCloakStore) {
    AddCourse(CLOAK_COURSES_KEY, kGuid1, "Hidden");
    AddLibrary(CLOAK_LIBRARIES_KEY, kGuid1, "Hidden");
    ASSERT_TRUE(LoadCatalogue());
    // The game's store gains the same names after the load.
    AddCourse(GAME_COURSES_KEY, kGuid1, "Visible");
    AddLibrary(GAME_LIBRARIES_KEY, kGuid1, "Visible");

    EXPECT_TRUE(UnregisterCourse(GetCloakedCourses()[0]));
    EXPECT_TRUE(UnregisterLibrary(GetCloakedLibraries()[0]));

    EXPECT_FALSE(EntryExists(CLOAK_COURSES_KEY, kGuid1));
    EXPECT_FALSE(EntryExists(CLOAK_LIBRARIES_KEY, kGuid1));
    EXPECT_TRUE(EntryExists(GAME_COURSES_KEY, kGuid1));
    EXPECT_TRUE(EntryExists(GAME_LIBRARIES_KEY, kGuid1));
}

TEST_F(Unregistration, LibraryKeyNamedInLowerCaseIsDeletedThroughItsUpperCaseText) {
    const std::string lower = "{abcdef01-2345-6789-abcd-ef0123456789}";
    AddLibrary(GAME_LIBRARIES_KEY, lower, "Trees");
    ASSERT_TRUE(LoadCatalogue());

    EXPECT_TRUE(UnregisterLibrary(GetInstalledLibraries()[0]));

    EXPECT_FALSE(EntryExists(GAME_LIBRARIES_KEY, lower));
}

TEST_F(Unregistration, MissingKeyIsReportedWithStatus2) {
    CourseRecord course = FilledCourse(kGuid1, "Links");
    LibraryRecord library = FilledLibrary(kGuid2, "Trees", "");
    ui.ExpectError("RegDeleteKey returned 2");
    ui.ExpectError("RegDeleteKey returned 2");

    EXPECT_FALSE(UnregisterCourse(course));
    EXPECT_FALSE(UnregisterLibrary(library));
}

}  // namespace
}  // namespace parvane::test
