#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/ExtractArchive.h"
#include "archive/OriginLists.h"
#include "installer/ClassifyPackage.h"
#include "installer/ContentFolders.h"
#include "installer/InstallRecord.h"
#include "platform/Machine.h"
#include "properties/Properties.h"
#include "support/ContentFiles.h"
#include "support/InstallFixture.h"

namespace parvane {
namespace {

using test::CourseData;
using test::LibraryData;
using test::TestGuid;
using test::ZipFileEntry;
using Entries = std::vector<ZipFileEntry>;
using Field = std::string CourseRecord::*;

const std::string COURSES = "C:\\Games\\GV06\\courses\\";

class ClassifyPackageTest : public test::InstallTest {
  protected:
    ClassifyPackageTest() {
        SetProperty(PROPERTY_TARGET_FOLDER, "C:\\Games\\GV06\\");
        SetProperty(PROPERTY_LIBRARY_FOLDER, "D:\\Libraries");
    }

    // Unpacks the package as an installation does, then classifies the unpacked files.
    bool Classify(const Entries& entries) {
        for (const std::string& name : test::FilesBelow(unpacked))
            EXPECT_EQ(TheMachine().RemoveFile(unpacked + "\\" + name), ERR_SUCCESS);
        ClearOriginLists();
        EXPECT_TRUE(ExtractArchive(Package(entries), unpacked, true));
        return ClassifyPackage(unpacked);
    }
    static const InstallRecord& Record() { return TheInstallRecord(); }
    static const CourseRecord& Course() { return TheInstallRecord().course; }

    const std::string unpacked = Scratch() + "\\temp";
};

TEST_F(ClassifyPackageTest, CoursePackageFillsEveryRole) {
    Entries entries = {
        {"Course/course.tcr", CourseData("Dune Links", 7, {{100, "Palms"}, {101, "Huts"}})},
        {"Course/palms.tcl", LibraryData("Palms", 100)}};
    for (const char* name : {"Flag.DDS", "logo.dds", "info.txt", "theme.mp3", "splash.bmp",
                             "course.ini", "snd.ini", "course.stn", "notes.tcn", "hole1.mp3",
                             "prv/tree.dds", "prv/hole.ini", "sounds/wind.wav", "sounds/birds.mp3"})
        entries.push_back({"Course/" + std::string(name), name});
    ASSERT_TRUE(Classify(entries));

    EXPECT_EQ(Record().installType, INSTALL_TYPE_COURSE);
    EXPECT_EQ(Record().targetFolder, COURSES + "Dune Links");
    EXPECT_EQ(Course().guidText, GuidToText(TestGuid(7)));
    EXPECT_EQ(Course().libraryCount, 2);
    const std::pair<Field, const char*> roles[] = {
        {&CourseRecord::name, "Dune Links"},         {&CourseRecord::filename, "course.tcr"},
        {&CourseRecord::flag, "Flag.DDS"},           {&CourseRecord::logo, "logo.dds"},
        {&CourseRecord::text, "info.txt"},           {&CourseRecord::music, "theme.mp3"},
        {&CourseRecord::picture, "splash.bmp"},      {&CourseRecord::iniFile, "course.ini"},
        {&CourseRecord::soundIniFile, "snd.ini"},    {&CourseRecord::stationeryFile, "course.stn"},
        {&CourseRecord::caddyBookFile, "notes.tcn"}, {&CourseRecord::audio, "."}};
    for (const auto& [field, expected] : roles)
        EXPECT_EQ(Course().*field, expected);
    ASSERT_EQ(Record().libraries.size(), 1u);
    EXPECT_EQ(Record().libraries[0].guidText, GuidToText(TestGuid(100)));
    EXPECT_EQ(Record().libraries[0].filename, "palms.tcl");
    EXPECT_EQ(Record().libraries[0].name, "Palms");
    EXPECT_FALSE(Record().libraries[0].skip);
}

// A candidate from a .tcx replaces one listed before it and is not replaced by one listed
// after it; a .wav from prv or sounds is no music.
TEST_F(ClassifyPackageTest, CandidatesFromATcxWinAndSoundFolderWavsAreNoMusic) {
    const std::string c = CourseData("C", 1);
    for (const auto& [plain, fromTcx] : {std::pair{"a", "z"}, std::pair{"z", "a"}}) {
        ASSERT_TRUE(
            Classify({{"c.tcr", c},
                      {plain + std::string(".mp3"), "m"},
                      {plain + std::string(".bmp"), "b"},
                      {"extra.tcx", test::ZipText({{fromTcx + std::string(".wav"), "w"},
                                                   {fromTcx + std::string(".tga"), "t"}})}}));
        EXPECT_EQ(Course().music, fromTcx + std::string(".wav"));
        EXPECT_EQ(Course().picture, fromTcx + std::string(".tga"));
    }
    ASSERT_TRUE(Classify({{"c.tcr", c}, {"prv/wind.wav", "w"}, {"sounds/birds.wav", "b"}}));
    EXPECT_EQ(Course().music, "");
}

// Whatever the listing order, the course file listed last decides the course and its folder.
TEST_F(ClassifyPackageTest, OneCourseFileDecidesTheCourseAndItsFolder) {
    ASSERT_TRUE(Classify({{"a.tcr", CourseData("Alpha", 1)}, {"b.tcr", CourseData("Beta", 2)}}));
    const bool alpha = Course().filename == "a.tcr";
    EXPECT_EQ(Course().guidText, GuidToText(TestGuid(alpha ? 1 : 2)));
    EXPECT_EQ(Record().targetFolder, COURSES + (alpha ? "Alpha" : "Beta"));
}

TEST_F(ClassifyPackageTest, UnknownDdsAndUnsupportedTextFormatsAreIgnoredWithAWarning) {
    ui.ExpectWarning(Containing("whether the file 'splash.dds' is a splash screen, a flag or"));
    ASSERT_TRUE(Classify({{"c.tcr", CourseData("C", 1)}, {"splash.dds", "s"}}));
    EXPECT_EQ(Course().flag, "");
    ui.ExpectWarning(Containing("The file 'About.HTM' appears to be the course text, but the"));
    ASSERT_TRUE(Classify({{"c.tcr", CourseData("C", 1)}, {"About.HTM", "r"}}));
    EXPECT_EQ(Course().text, "");
}

// In either order of the folder listing.
TEST_F(ClassifyPackageTest, LibraryListedBeforeTheCourseBecomesAnIncludedLibrary) {
    for (const auto& [library, course] : std::vector<std::pair<std::string, std::string>>{
             {"a.tcl", "z.tcr"}, {"z.tcl", "a.tcr"}, {"m.tcl", "b.tcr"}, {"b.tcl", "m.tcr"}}) {
        ASSERT_TRUE(
            Classify({{library, LibraryData("Palms", 3)}, {course, CourseData("Oasis", 1)}}));
        EXPECT_EQ(Record().installType, INSTALL_TYPE_COURSE);
        EXPECT_EQ(Record().targetFolder, COURSES + "Oasis");
        ASSERT_EQ(Record().libraries.size(), 1u);
        EXPECT_EQ(Record().libraries[0].filename, library);
    }
}

TEST_F(ClassifyPackageTest, OneOrSeveralLibrariesUpToEightWithTheirTargetFolder) {
    ASSERT_TRUE(Classify({{"lib/palms.tcl", LibraryData("Palms: Tall", 3)}}));
    EXPECT_EQ(Record().installType, INSTALL_TYPE_LIBRARY);
    EXPECT_EQ(Record().targetFolder, "C:\\Games\\GV06\\libraries\\Palms Tall");

    SetProperty(PROPERTY_USE_DEFAULT_LIBRARY_FOLDER, "0");
    ASSERT_TRUE(Classify({{"a.tcl", LibraryData("A", 3)}, {"b.tcl", LibraryData("B", 4)}}));
    EXPECT_EQ(Record().installType, INSTALL_TYPE_LIBRARIES);
    EXPECT_EQ(Record().targetFolder, "D:\\Libraries");
    ASSERT_EQ(Record().libraries.size(), 2u);
    EXPECT_EQ(Record().libraries[0].name + Record().libraries[1].name,
              Record().libraries[0].filename == "a.tcl" ? "AB" : "BA");

    Entries entries;
    for (std::uint32_t i = 1; i <= 8; ++i)
        entries.push_back({"lib" + std::to_string(i) + ".tcl", LibraryData("L", i)});
    ASSERT_TRUE(Classify(entries));
    EXPECT_EQ(Record().libraries.size(), 8u);
    entries.push_back({"lib9.tcl", LibraryData("L", 9)});
    ui.ExpectError(Containing("more than 8 library files"));
    EXPECT_FALSE(Classify(entries));
}

TEST_F(ClassifyPackageTest, CourseNameBecomesASafeFolderName) {
    ASSERT_TRUE(Classify({{"c.tcr", CourseData("My: Course? ", 1)}}));
    EXPECT_EQ(Record().targetFolder, COURSES + "My Course");

    // Names that would leave the courses folder or name no folder are refused.
    for (const char* name : {"..", "?*", "CON", " . "}) {
        ui.ExpectError(
            Containing("Couldn't make a folder name from the name '" + std::string(name) + "'"));
        EXPECT_FALSE(Classify({{"c.tcr", CourseData(name, 1)}})) << name;
    }
}

TEST_F(ClassifyPackageTest, PackageWithoutCourseOrLibraryOrWithAnUnreadableHeaderIsRefused) {
    ui.ExpectError(
        "The installation archive you selected does not appear\nto be a course or "
        "library package.");
    EXPECT_FALSE(Classify({{"readme.txt", "r"}, {"picture.bmp", "p"}}));

    std::string manyGuids = CourseData("C", 1);  // 41 GUIDs from offset 268, no names at 804
    std::fill_n(manyGuids.begin() + 268, 16 * 41, '\x01');
    manyGuids[804] = '\0';
    const std::pair<Entries, const char*> unreadable[] = {
        {{{"bad.tcr", "short"}}, "course name from file '%s\\bad.tcr'"},
        {{{"cut.tcr", CourseData("C", 1).substr(0, 100)}}, "library names from file '%s\\cut.tcr'"},
        {{{"many.tcr", manyGuids}}, "library GUIDs from file '%s\\many.tcr'"},
        {{{"bad.tcl", "short"}}, "library name from file '%s\\bad.tcl'"}};
    for (const auto& [entries, message] : unreadable) {
        std::string text = std::string("Couldn't get ") + message;
        text.replace(text.find("%s"), 2, unpacked);
        ui.ExpectError(text);
        EXPECT_FALSE(Classify(entries));
    }
}

// Each library of a package gets its folder on its own, so a bad name fails only its own.
TEST_F(ClassifyPackageTest, ALibraryNameThatMakesNoFolderIsRefused) {
    ASSERT_TRUE(Classify({{"a.tcl", LibraryData("CON", 3)}, {"b.tcl", LibraryData("Palms", 4)}}));
    ui.ExpectError(Containing("Couldn't make a folder name from the name 'CON' in file 'a.tcl'"));
    std::string target;
    EXPECT_FALSE(LibraryTargetFolder("CON", "a.tcl", target));
}

}  // namespace
}  // namespace parvane
