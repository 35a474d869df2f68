#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/ExtractArchive.h"
#include "archive/OriginLists.h"
#include "catalogue/Guid.h"
#include "installer/ClassifyPackage.h"
#include "installer/ContentFolders.h"
#include "installer/InstallRecord.h"
#include "platform/Machine.h"
#include "properties/Properties.h"
#include "support/ContentFiles.h"
#include "support/InstallFixture.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"
#include "support/ZipFiles.h"

namespace parvane {
namespace {

using test::CourseData;
using test::LibraryData;
using test::TestGuid;
using test::ZipFileEntry;
using test::ZipText;
using Entries = std::vector<ZipFileEntry>;
using Field = std::string CourseRecord::*;

const std::string COURSES = "C:\\Games\\GV06\\courses\\";

class ClassifyPackageTest : public ::testing::Test {
  protected:
    ClassifyPackageTest() {
        Reset();
        SetProperty(PROPERTY_TARGET_FOLDER, "C:\\Games\\GV06\\");
        SetProperty(PROPERTY_USE_DEFAULT_LIBRARY_FOLDER, "1");
        SetProperty(PROPERTY_LIBRARY_FOLDER, "D:\\Libraries");
    }
    ~ClassifyPackageTest() override { Reset(); }
    static void Reset() {
        ClearOriginLists();
        ClearInstallRecord();
        ResetProperties();
    }

    // Unpacks the package as an installation does, then classifies the unpacked files.
    bool Classify(const Entries& entries, const std::string& archiveName = "package.zip") {
        for (const std::string& name : test::FileNamesIn(unpacked)) {
            EXPECT_EQ(TheMachine().RemoveFile(unpacked + "\\" + name), ERR_SUCCESS);
        }
        ClearOriginLists();
        const std::string archive = folder + "\\" + archiveName;
        EXPECT_TRUE(test::WriteZipFile(archive, entries));
        EXPECT_TRUE(ExtractArchive(archive, unpacked, true));
        return ClassifyPackage(unpacked);
    }
    // The unpacked files in the order the folder lists them decide ties: the one of the pair
    // listed first, or second.
    std::string ListedFirst(const std::string& one, const std::string& other, bool first = true) {
        std::vector<FolderEntry> entries;
        EXPECT_EQ(TheMachine().ListFolder(unpacked + "\\*.*", entries), ERR_SUCCESS);
        for (const FolderEntry& entry : entries) {
            if (entry.name == one || entry.name == other) {
                return first == (entry.name == one) ? one : other;
            }
        }
        ADD_FAILURE() << "neither " << one << " nor " << other << " is listed";
        return "";
    }
    std::string ListedSecond(const std::string& one, const std::string& other) {
        return ListedFirst(one, other, false);
    }
    static const InstallRecord& Record() { return TheInstallRecord(); }
    static const CourseRecord& Course() { return TheInstallRecord().course; }

    test::TestMachine machine;
    ScriptedUserInterface ui;
    const std::string folder = machine.ScratchFolder();
    const std::string unpacked = folder + "\\temp";
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
    EXPECT_EQ(Course().libraryNames[1], "Huts");
    EXPECT_EQ(Course().libraryGuids[0], TestGuid(100));
    const std::pair<Field, const char*> roles[] = {
        {&CourseRecord::name, "Dune Links"},         {&CourseRecord::filename, "course.tcr"},
        {&CourseRecord::flag, "Flag.DDS"},           {&CourseRecord::logo, "logo.dds"},
        {&CourseRecord::text, "info.txt"},           {&CourseRecord::music, "theme.mp3"},
        {&CourseRecord::picture, "splash.bmp"},      {&CourseRecord::iniFile, "course.ini"},
        {&CourseRecord::soundIniFile, "snd.ini"},    {&CourseRecord::stationeryFile, "course.stn"},
        {&CourseRecord::caddyBookFile, "notes.tcn"}, {&CourseRecord::audio, "."}};
    for (const auto& [field, expected] : roles) {
        EXPECT_EQ(Course().*field, expected);
    }
    ASSERT_EQ(Record().libraries.size(), 1u);
    EXPECT_EQ(Record().libraries[0].guidText, GuidToText(TestGuid(100)));
    EXPECT_EQ(Record().libraries[0].filename, "palms.tcl");
    EXPECT_EQ(Record().libraries[0].name, "Palms");
    EXPECT_FALSE(Record().libraries[0].skip);
}

// Which file takes a role when several could, whatever the listing order: texts by size,
// files from a .tcx over others, hole audio by the length of its name, prv and sounds folders
// out of the roles.
TEST_F(ClassifyPackageTest, RolesGoToTheFilesTheRulesPick) {
    const std::string c = CourseData("C", 1);
    const struct {
        Entries entries;
        std::vector<std::pair<Field, const char*>> roles;
    } cases[] = {
        {{{"c.tcr", c}, {"long.txt", std::string(120, 'l')}, {"short.txt", std::string(80, 's')}},
         {{&CourseRecord::text, "short.txt"}}},
        {{{"c.tcr", c},
          {"short.txt", "s"},
          {"inner.tcx", ZipText({{"long.txt", std::string(120, 'l')}})},
          {"tiny.txt", ""}},
         {{&CourseRecord::text, "long.txt"}}},
        {{{"c.tcr", c}, {"hole100.mp3", "x"}, {"Hole18.MP3", "x"}},
         {{&CourseRecord::audio, "."}, {&CourseRecord::music, "hole100.mp3"}}},
        {{{"c.tcr", c}, {"hole100.mp3", "x"}}, {{&CourseRecord::audio, ""}}},
        {{{"c.tcr", c},
          {"song.wav", "w"},
          {"tune.mp3", "m"},
          {"extra.tcx", ZipText({{"anthem.mp3", "a"}})}},
         {{&CourseRecord::music, "anthem.mp3"}}},
        // A .wav from prv or sounds is no music candidate, an .mp3 from prv still is.
        {{{"c.tcr", c},
          {"prv/wind.wav", "w"},
          {"sounds/birds.mp3", "b"},
          {"prv/splash.bmp", "p"},
          {"prv/flag.dds", "f"}},
         {{&CourseRecord::music, ""}, {&CourseRecord::picture, ""}, {&CourseRecord::flag, ""}}},
        {{{"c.tcr", c}, {"prv/song.mp3", "s"}, {"art.TGA", "t"}},
         {{&CourseRecord::music, "song.mp3"}, {&CourseRecord::picture, "art.TGA"}}},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.entries[1].name);
        ASSERT_TRUE(Classify(item.entries));
        for (const auto& [field, expected] : item.roles) {
            EXPECT_EQ(Course().*field, expected);
        }
    }
    // A candidate from a .tcx replaces one listed before it and is not replaced by one listed
    // after it.
    for (const auto& [plain, fromTcx] : {std::pair{"a", "z"}, std::pair{"z", "a"}}) {
        ASSERT_TRUE(Classify({{"c.tcr", c},
                              {plain + std::string(".mp3"), "m"},
                              {plain + std::string(".bmp"), "b"},
                              {"extra.tcx", ZipText({{fromTcx + std::string(".wav"), "w"},
                                                     {fromTcx + std::string(".tga"), "t"}})}}));
        EXPECT_EQ(Course().music, fromTcx + std::string(".wav"));
        EXPECT_EQ(Course().picture, fromTcx + std::string(".tga"));
    }
}

TEST_F(ClassifyPackageTest, TiesGoToTheFirstListedExceptTextsOfATcxAndCourseFiles) {
    const std::string c = CourseData("C", 1);
    ASSERT_TRUE(Classify({{"c.tcr", c}, {"first.txt", "aaaaa"}, {"second.txt", "bbbbb"}}));
    EXPECT_EQ(Course().text, ListedFirst("first.txt", "second.txt"));
    ASSERT_TRUE(Classify({{"c.tcr", c}, {"song.wav", "w"}, {"tune.mp3", "m"}}));
    EXPECT_EQ(Course().music, ListedFirst("song.wav", "tune.mp3"));
    // From a .tcx every text qualifies, and the last one listed wins.
    ASSERT_TRUE(Classify({{"c.tcr", c}, {"a.txt", "aaaa"}, {"b.txt", "b"}}, "course.tcx"));
    EXPECT_EQ(Course().text, ListedSecond("a.txt", "b.txt"));

    // Only the course file listed last decides the course and its folder, whatever the name
    // of an earlier one.
    ASSERT_TRUE(Classify({{"a.tcr", CourseData("Alpha", 1)}, {"b.tcr", CourseData("Beta", 2)}}));
    const bool aFirst = ListedFirst("a.tcr", "b.tcr") == "a.tcr";
    EXPECT_EQ(Course().filename, aFirst ? "b.tcr" : "a.tcr");
    EXPECT_EQ(Course().guidText, GuidToText(TestGuid(aFirst ? 2 : 1)));
    EXPECT_EQ(Record().targetFolder, COURSES + (aFirst ? "Beta" : "Alpha"));
    ASSERT_TRUE(Classify({{"a.tcr", CourseData(aFirst ? "CON" : "Beta", 1)},
                          {"b.tcr", CourseData(aFirst ? "Beta" : "CON", 1)}}));
    EXPECT_EQ(Record().targetFolder, COURSES + "Beta");
}

TEST_F(ClassifyPackageTest, UnknownDdsAndUnsupportedTextFormatsAreIgnoredWithAWarning) {
    ui.ExpectWarning(
        "Parvane cannot detect whether the file 'splash.dds' is a splash screen, a "
        "flag or a logo.\nThis file will be ignored.");
    ASSERT_TRUE(Classify({{"c.tcr", CourseData("C", 1)}, {"splash.dds", "s"}}));
    EXPECT_EQ(Course().flag, "");
    ui.ExpectWarning(
        "The file 'About.HTM' appears to be the course text, but the format is not supported by "
        "GV06\nThis file will be ignored.");
    ASSERT_TRUE(Classify({{"c.tcr", CourseData("C", 1)}, {"About.HTM", "r"}}));
    EXPECT_EQ(Course().text, "");
}

TEST_F(ClassifyPackageTest, LibraryListedBeforeTheCourseBecomesAnIncludedLibrary) {
    bool libraryCameFirst = false;
    for (const auto& [library, course] : std::vector<std::pair<std::string, std::string>>{
             {"a.tcl", "z.tcr"}, {"z.tcl", "a.tcr"}, {"m.tcl", "b.tcr"}, {"b.tcl", "m.tcr"}}) {
        ASSERT_TRUE(
            Classify({{library, LibraryData("Palms", 3)}, {course, CourseData("Oasis", 1)}}));
        libraryCameFirst = libraryCameFirst || ListedFirst(library, course) == library;
        EXPECT_EQ(Record().installType, INSTALL_TYPE_COURSE);
        EXPECT_EQ(Record().targetFolder, COURSES + "Oasis");
        ASSERT_EQ(Record().libraries.size(), 1u);
        EXPECT_EQ(Record().libraries[0].filename, library);
    }
    EXPECT_TRUE(libraryCameFirst) << "no listing put the library first";
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
    const bool aFirst = ListedFirst("a.tcl", "b.tcl") == "a.tcl";
    EXPECT_EQ(Record().libraries[0].name, aFirst ? "A" : "B");
    EXPECT_EQ(Record().libraries[1].name, aFirst ? "B" : "A");

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
    ASSERT_TRUE(Classify({{"c.tcr", CourseData("Links\\/|<>*\"Old. ", 1)}}));
    EXPECT_EQ(Record().targetFolder, COURSES + "LinksOld");

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

// A library's folder name matters only where that folder is used.
TEST_F(ClassifyPackageTest, LibraryNameIsCheckedOnlyWhereItsFolderIsUsed) {
    // A course package keeps its libraries in the course folder, in either listing order.
    for (const char* library : {"a.tcl", "z.tcl"}) {
        ASSERT_TRUE(Classify({{library, LibraryData("..", 3)}, {"m.tcr", CourseData("Oasis", 1)}}));
        EXPECT_EQ(Record().targetFolder, COURSES + "Oasis");
    }
    // Several libraries get their folders one by one, so one bad name fails only its own.
    ASSERT_TRUE(Classify({{"a.tcl", LibraryData("CON", 3)}, {"b.tcl", LibraryData("Palms", 4)}}));
    EXPECT_EQ(Record().installType, INSTALL_TYPE_LIBRARIES);
    std::string target;
    EXPECT_TRUE(LibraryTargetFolder("Palms", "b.tcl", target));
    EXPECT_EQ(target, "C:\\Games\\GV06\\libraries\\Palms");
    ui.ExpectError(Containing("Couldn't make a folder name from the name 'CON' in file 'a.tcl'"));
    EXPECT_FALSE(LibraryTargetFolder("CON", "a.tcl", target));

    ui.ExpectError(Containing("Couldn't make a folder name from the name '..'"));
    EXPECT_FALSE(Classify({{"a.tcl", LibraryData("..", 3)}}));
}

}  // namespace
}  // namespace parvane
