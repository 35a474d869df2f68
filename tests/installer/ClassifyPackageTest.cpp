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
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"
#include "support/ZipFiles.h"

namespace parvane {
namespace {

using test::TestGuid;
using test::ZipFileEntry;
using Entries = std::vector<ZipFileEntry>;

std::string Text(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string CourseFile(const std::string& name, std::uint32_t guid = 1,
                       const std::vector<std::string>& libraries = {}) {
    test::CourseFileContent content;
    content.guid = TestGuid(guid);
    content.name = name;
    for (std::size_t i = 0; i < libraries.size(); ++i) {
        content.libraryGuids.push_back(TestGuid(100 + static_cast<std::uint32_t>(i)));
        content.libraryNames.push_back(libraries[i]);
    }
    return Text(test::CourseFileBytes(content));
}

std::string LibraryFile(const std::string& name, std::uint32_t guid) {
    return Text(test::LibraryFileBytes({TestGuid(guid), name}));
}

std::string ZipText(const Entries& entries) {
    return Text(test::ZipArchiveBytes(entries));
}

class ClassifyPackageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Reset();
        SetProperty(PROPERTY_TARGET_FOLDER, "C:\\Games\\GV06\\");
        SetProperty(PROPERTY_USE_DEFAULT_LIBRARY_FOLDER, "1");
        SetProperty(PROPERTY_LIBRARY_FOLDER, "D:\\Libraries");
    }
    void TearDown() override { Reset(); }
    static void Reset() {
        ClearOriginLists();
        ClearInstallRecord();
        ResetProperties();
    }

    // Unpacks the package as an installation does, then classifies the unpacked files.
    bool Classify(const Entries& entries, const std::string& archiveName = "package.zip") {
        RemoveUnpacked();
        ClearOriginLists();
        const std::string archive = folder + "\\" + archiveName;
        EXPECT_TRUE(test::WriteZipFile(archive, entries));
        EXPECT_TRUE(ExtractArchive(archive, unpacked, true));
        return ClassifyPackage(unpacked);
    }
    void RemoveUnpacked() {
        for (const std::string& name : test::FileNamesIn(unpacked)) {
            EXPECT_EQ(TheMachine().RemoveFile(unpacked + "\\" + name), ERR_SUCCESS);
        }
    }
    // The unpacked files in the order the folder lists them, which decides ties.
    std::vector<std::string> ListingOrder() {
        std::vector<FolderEntry> entries;
        EXPECT_EQ(TheMachine().ListFolder(unpacked + "\\*.*", entries), ERR_SUCCESS);
        std::vector<std::string> names;
        for (const FolderEntry& entry : entries) {
            if ((entry.attributes & ATTR_DIRECTORY) == 0)
                names.push_back(entry.name);
        }
        return names;
    }
    bool ListedBefore(const std::string& first, const std::string& second) {
        const std::vector<std::string> order = ListingOrder();
        return std::find(order.begin(), order.end(), first) <
               std::find(order.begin(), order.end(), second);
    }
    static const InstallRecord& Record() { return TheInstallRecord(); }

    test::TestMachine machine;
    ScriptedUserInterface ui;
    const std::string folder = machine.ScratchFolder();
    const std::string unpacked = folder + "\\temp";
};

TEST_F(ClassifyPackageTest, CoursePackageFillsEveryRole) {
    Entries entries = {{"Course/course.tcr", CourseFile("Dune Links", 7, {"Palms", "Huts"})},
                       {"Course/palms.tcl", LibraryFile("Palms", 100)}};
    for (const char* name : {"Flag.DDS", "logo.dds", "info.txt", "theme.mp3", "splash.bmp",
                             "course.ini", "snd.ini", "course.stn", "notes.tcn", "hole1.mp3",
                             "prv/tree.dds", "prv/hole.ini", "sounds/wind.wav", "sounds/birds.mp3"})
        entries.push_back({"Course/" + std::string(name), name});
    ASSERT_TRUE(Classify(entries));

    const InstallRecord& record = Record();
    EXPECT_EQ(record.installType, INSTALL_TYPE_COURSE);
    EXPECT_EQ(record.targetFolder, "C:\\Games\\GV06\\courses\\Dune Links");
    const CourseRecord& course = record.course;
    EXPECT_EQ(course.guidText, GuidToText(TestGuid(7)));
    EXPECT_EQ(course.name, "Dune Links");
    EXPECT_EQ(course.filename, "course.tcr");
    EXPECT_EQ(course.libraryCount, 2);
    EXPECT_EQ(course.libraryNames[1], "Huts");
    EXPECT_EQ(course.libraryGuids[0], TestGuid(100));
    EXPECT_EQ(course.flag, "Flag.DDS");
    EXPECT_EQ(course.logo, "logo.dds");
    EXPECT_EQ(course.text, "info.txt");
    EXPECT_EQ(course.music, "theme.mp3");
    EXPECT_EQ(course.picture, "splash.bmp");
    EXPECT_EQ(course.iniFile, "course.ini");
    EXPECT_EQ(course.soundIniFile, "snd.ini");
    EXPECT_EQ(course.stationeryFile, "course.stn");
    EXPECT_EQ(course.caddyBookFile, "notes.tcn");
    EXPECT_EQ(course.audio, ".");
    ASSERT_EQ(record.libraries.size(), 1u);
    EXPECT_EQ(record.libraries[0].guidText, GuidToText(TestGuid(100)));
    EXPECT_EQ(record.libraries[0].filename, "palms.tcl");
    EXPECT_EQ(record.libraries[0].name, "Palms");
    EXPECT_FALSE(record.libraries[0].skip);
}

TEST_F(ClassifyPackageTest, SmallestTextWinsAndTiesGoToTheFirstListed) {
    ASSERT_TRUE(Classify({{"c.tcr", CourseFile("C")},
                          {"long.txt", std::string(120, 'l')},
                          {"short.txt", std::string(80, 's')}}));
    EXPECT_EQ(Record().course.text, "short.txt");

    ASSERT_TRUE(Classify({{"c.tcr", CourseFile("C")},
                          {"first.txt", std::string(50, 'a')},
                          {"second.txt", std::string(50, 'b')}}));
    EXPECT_EQ(Record().course.text,
              ListedBefore("first.txt", "second.txt") ? "first.txt" : "second.txt");
}

TEST_F(ClassifyPackageTest, TextFromATcxArchiveWinsWhateverItsSize) {
    ASSERT_TRUE(Classify({{"c.tcr", CourseFile("C")},
                          {"short.txt", "s"},
                          {"inner.tcx", ZipText({{"long.txt", std::string(120, 'l')}})},
                          {"tiny.txt", ""}}));
    EXPECT_EQ(Record().course.text, "long.txt");

    // From a .tcx every text qualifies, and the last one listed wins.
    ASSERT_TRUE(
        Classify({{"c.tcr", CourseFile("C")}, {"a.txt", "aaaa"}, {"b.txt", "b"}}, "course.tcx"));
    EXPECT_EQ(Record().course.text, ListedBefore("a.txt", "b.txt") ? "b.txt" : "a.txt");
}

TEST_F(ClassifyPackageTest, HoleAudioIsUpToTenCharactersAndLongerIsMusic) {
    ASSERT_TRUE(Classify({{"c.tcr", CourseFile("C")}, {"hole100.mp3", "x"}, {"Hole18.MP3", "x"}}));
    EXPECT_EQ(Record().course.audio, ".");
    EXPECT_EQ(Record().course.music, "hole100.mp3");

    ASSERT_TRUE(Classify({{"c.tcr", CourseFile("C")}, {"hole100.mp3", "x"}}));
    EXPECT_EQ(Record().course.audio, "");
}

TEST_F(ClassifyPackageTest, FirstMusicCandidateWinsUnlessALaterOneCameFromATcx) {
    ASSERT_TRUE(Classify({{"c.tcr", CourseFile("C")}, {"song.wav", "w"}, {"tune.mp3", "m"}}));
    EXPECT_EQ(Record().course.music,
              ListedBefore("song.wav", "tune.mp3") ? "song.wav" : "tune.mp3");

    ASSERT_TRUE(Classify({{"c.tcr", CourseFile("C")},
                          {"song.wav", "w"},
                          {"tune.mp3", "m"},
                          {"extra.tcx", ZipText({{"anthem.mp3", "a"}})}}));
    EXPECT_EQ(Record().course.music, "anthem.mp3");
}

TEST_F(ClassifyPackageTest, PrvAndSoundsFoldersKeepTheirFilesOutOfTheRoles) {
    // A .wav from prv is no music candidate, an .mp3 from prv still is.
    ASSERT_TRUE(Classify({{"c.tcr", CourseFile("C")},
                          {"prv/wind.wav", "w"},
                          {"sounds/birds.mp3", "b"},
                          {"prv/splash.bmp", "p"},
                          {"prv/flag.dds", "f"}}));
    EXPECT_EQ(Record().course.music, "");
    EXPECT_EQ(Record().course.picture, "");
    EXPECT_EQ(Record().course.flag, "");

    ASSERT_TRUE(Classify({{"c.tcr", CourseFile("C")}, {"prv/song.mp3", "s"}, {"art.TGA", "t"}}));
    EXPECT_EQ(Record().course.music, "song.mp3");
    EXPECT_EQ(Record().course.picture, "art.TGA");
}

TEST_F(ClassifyPackageTest, UnknownDdsAndUnsupportedTextFormatsAreIgnoredWithAWarning) {
    ui.ExpectWarning(
        "Parvane cannot detect whether the file 'splash.dds' is a splash screen, a "
        "flag or a logo.\nThis file will be ignored.");
    ASSERT_TRUE(Classify({{"c.tcr", CourseFile("C")}, {"splash.dds", "s"}}));
    EXPECT_EQ(Record().course.flag, "");

    ui.ExpectWarning(
        "The file 'about.RTF' appears to be the course text, but the format is not "
        "supported by GV06\nThis file will be ignored.");
    ASSERT_TRUE(Classify({{"c.tcr", CourseFile("C")}, {"about.RTF", "r"}}));
    EXPECT_EQ(Record().course.text, "");
    ui.ExpectWarning(
        "The file 'About.HTM' appears to be the course text, but the format is not "
        "supported by GV06\nThis file will be ignored.");
    ASSERT_TRUE(Classify({{"c.tcr", CourseFile("C")}, {"About.HTM", "h"}}));
}

TEST_F(ClassifyPackageTest, LibraryListedBeforeTheCourseBecomesAnIncludedLibrary) {
    bool libraryCameFirst = false;
    for (const auto& [library, course] : std::vector<std::pair<std::string, std::string>>{
             {"a.tcl", "z.tcr"}, {"z.tcl", "a.tcr"}, {"m.tcl", "b.tcr"}, {"b.tcl", "m.tcr"}}) {
        ASSERT_TRUE(Classify({{library, LibraryFile("Palms", 3)}, {course, CourseFile("Oasis")}}));
        libraryCameFirst = libraryCameFirst || ListedBefore(library, course);
        EXPECT_EQ(Record().installType, INSTALL_TYPE_COURSE);
        EXPECT_EQ(Record().targetFolder, "C:\\Games\\GV06\\courses\\Oasis");
        ASSERT_EQ(Record().libraries.size(), 1u);
        EXPECT_EQ(Record().libraries[0].filename, library);
    }
    EXPECT_TRUE(libraryCameFirst) << "no listing put the library first";
}

TEST_F(ClassifyPackageTest, OneOrSeveralLibrariesWithTheirTargetFolder) {
    ASSERT_TRUE(Classify({{"lib/palms.tcl", LibraryFile("Palms: Tall", 3)}}));
    EXPECT_EQ(Record().installType, INSTALL_TYPE_LIBRARY);
    EXPECT_EQ(Record().targetFolder, "C:\\Games\\GV06\\libraries\\Palms Tall");

    SetProperty(PROPERTY_USE_DEFAULT_LIBRARY_FOLDER, "0");
    ASSERT_TRUE(Classify({{"a.tcl", LibraryFile("A", 3)}, {"b.tcl", LibraryFile("B", 4)}}));
    EXPECT_EQ(Record().installType, INSTALL_TYPE_LIBRARIES);
    EXPECT_EQ(Record().targetFolder, "D:\\Libraries");
    ASSERT_EQ(Record().libraries.size(), 2u);
    const bool aFirst = ListedBefore("a.tcl", "b.tcl");
    EXPECT_EQ(Record().libraries[0].name, aFirst ? "A" : "B");
    EXPECT_EQ(Record().libraries[1].name, aFirst ? "B" : "A");
}

TEST_F(ClassifyPackageTest, AtMostEightLibraryFilesPerPackage) {
    Entries entries;
    for (std::uint32_t i = 1; i <= 8; ++i)
        entries.push_back({"lib" + std::to_string(i) + ".tcl", LibraryFile("L", i)});
    ASSERT_TRUE(Classify(entries));
    EXPECT_EQ(Record().libraries.size(), 8u);

    entries.push_back({"lib9.tcl", LibraryFile("L", 9)});
    ui.ExpectError(Containing("more than 8 library files"));
    EXPECT_FALSE(Classify(entries));
}

TEST_F(ClassifyPackageTest, CourseNameBecomesASafeFolderName) {
    ASSERT_TRUE(Classify({{"c.tcr", CourseFile("My: Course? ")}}));
    EXPECT_EQ(Record().targetFolder, "C:\\Games\\GV06\\courses\\My Course");
    ASSERT_TRUE(Classify({{"c.tcr", CourseFile("Links\\/|<>*\"Old. ")}}));
    EXPECT_EQ(Record().targetFolder, "C:\\Games\\GV06\\courses\\LinksOld");

    // Names that would leave the courses folder or name no folder are refused.
    for (const char* name : {"..", "?*", "CON", " . "}) {
        ui.ExpectError(
            Containing("Couldn't make a folder name from the name '" + std::string(name) + "'"));
        EXPECT_FALSE(Classify({{"c.tcr", CourseFile(name)}})) << name;
    }
}

TEST_F(ClassifyPackageTest, PackageWithoutCourseOrLibraryOrWithAnUnreadableHeaderIsRefused) {
    ui.ExpectError(
        "The installation archive you selected does not appear\nto be a course or "
        "library package.");
    EXPECT_FALSE(Classify({{"readme.txt", "r"}, {"picture.bmp", "p"}}));

    ui.ExpectError("Couldn't get course name from file '" + unpacked + "\\bad.tcr'");
    EXPECT_FALSE(Classify({{"bad.tcr", "short"}}));
    ui.ExpectError("Couldn't get library names from file '" + unpacked + "\\cut.tcr'");
    EXPECT_FALSE(Classify({{"cut.tcr", CourseFile("C").substr(0, 100)}}));
    std::string manyGuids = CourseFile("C");  // 41 GUIDs from offset 268, no names at 804
    std::fill_n(manyGuids.begin() + 268, 16 * 41, '\x01');
    manyGuids[804] = '\0';
    ui.ExpectError("Couldn't get library GUIDs from file '" + unpacked + "\\many.tcr'");
    EXPECT_FALSE(Classify({{"many.tcr", manyGuids}}));
    ui.ExpectError("Couldn't get library name from file '" + unpacked + "\\bad.tcl'");
    EXPECT_FALSE(Classify({{"bad.tcl", "short"}}));
}

// One package of each listing order: a candidate from a .tcx replaces one listed before it and
// is not replaced by one listed after it.
TEST_F(ClassifyPackageTest, MusicAndPictureFromATcxWinInEitherListingOrder) {
    for (const auto& [plain, fromTcx] : {std::pair{"a", "z"}, std::pair{"z", "a"}}) {
        ASSERT_TRUE(Classify({{"c.tcr", CourseFile("C")},
                              {plain + std::string(".mp3"), "m"},
                              {plain + std::string(".bmp"), "b"},
                              {"extra.tcx", ZipText({{fromTcx + std::string(".wav"), "w"},
                                                     {fromTcx + std::string(".tga"), "t"}})}}));
        EXPECT_EQ(Record().course.music, fromTcx + std::string(".wav"));
        EXPECT_EQ(Record().course.picture, fromTcx + std::string(".tga"));
    }
    // A .wav from a sounds folder is no candidate.
    ASSERT_TRUE(Classify({{"c.tcr", CourseFile("C")}, {"sounds/a.wav", "w"}, {"z.mp3", "m"}}));
    EXPECT_EQ(Record().course.music, "z.mp3");
}

// Only the course file listed last decides the course and its folder.
TEST_F(ClassifyPackageTest, LastCourseFileListedWinsWhateverTheNameOfAnEarlierOne) {
    ASSERT_TRUE(Classify({{"a.tcr", CourseFile("Alpha", 1)}, {"b.tcr", CourseFile("Beta", 2)}}));
    const bool aFirst = ListedBefore("a.tcr", "b.tcr");
    EXPECT_EQ(Record().course.filename, aFirst ? "b.tcr" : "a.tcr");
    EXPECT_EQ(Record().course.guidText, GuidToText(TestGuid(aFirst ? 2 : 1)));
    EXPECT_EQ(Record().targetFolder,
              aFirst ? "C:\\Games\\GV06\\courses\\Beta" : "C:\\Games\\GV06\\courses\\Alpha");

    ASSERT_TRUE(Classify({{"a.tcr", CourseFile(aFirst ? "CON" : "Beta")},
                          {"b.tcr", CourseFile(aFirst ? "Beta" : "CON")}}));
    EXPECT_EQ(Record().targetFolder, "C:\\Games\\GV06\\courses\\Beta");
}

// A library's folder name matters only where that folder is used.
TEST_F(ClassifyPackageTest, LibraryNameIsCheckedOnlyWhereItsFolderIsUsed) {
    // A course package keeps its libraries in the course folder, in either listing order.
    for (const char* library : {"a.tcl", "z.tcl"}) {
        ASSERT_TRUE(Classify({{library, LibraryFile("..", 3)}, {"m.tcr", CourseFile("Oasis")}}));
        EXPECT_EQ(Record().targetFolder, "C:\\Games\\GV06\\courses\\Oasis");
    }
    // Several libraries get their folders one by one, so one bad name fails only its own.
    ASSERT_TRUE(Classify({{"a.tcl", LibraryFile("CON", 3)}, {"b.tcl", LibraryFile("Palms", 4)}}));
    EXPECT_EQ(Record().installType, INSTALL_TYPE_LIBRARIES);
    std::string target;
    EXPECT_TRUE(LibraryTargetFolder("Palms", "b.tcl", target));
    EXPECT_EQ(target, "C:\\Games\\GV06\\libraries\\Palms");
    ui.ExpectError(Containing("Couldn't make a folder name from the name 'CON' in file 'a.tcl'"));
    EXPECT_FALSE(LibraryTargetFolder("CON", "a.tcl", target));

    ui.ExpectError(Containing("Couldn't make a folder name from the name '..'"));
    EXPECT_FALSE(Classify({{"a.tcl", LibraryFile("..", 3)}}));
}

}  // namespace
}  // namespace parvane
