#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/TempExtractionFolder.h"
#include "base/RegistryRoots.h"
#include "installer/TargetFolderDialog.h"
#include "properties/Properties.h"
#include "support/FaultInjectingMachine.h"
#include "support/InstallFixture.h"

namespace parvane {
namespace {

using Names = std::vector<std::string>;
using test::CourseData;
using test::FilesBelow;
using test::LibraryData;
using Entries = std::vector<test::ZipFileEntry>;
using InstallArchiveTest = test::InstallTest;

class QuestionOrder : public test::InstallTest, public ::testing::WithParamInterface<int> {};

// Every question comes in its place (renaming, flag, target folder, confirmation), and nothing
// is written into the game's folders until the confirmation is answered Yes.
TEST_P(QuestionOrder, AllQuestionsComeBeforeAnythingIsCopied) {
    for (const char* key : {PROPERTY_ASK_FOR_FLAG, PROPERTY_ASK_FOR_TARGET_FOLDER,
                            PROPERTY_ASK_FOR_INSTALL_PROCEED}) {
        SetProperty(key, "1");
    }
    const std::string flag = Scratch() + "\\Flags\\club.DDS";
    machine.WriteFile(flag, "flag");
    const std::string archive = Package({{"Lakeside/Lakeside.tcr", CourseData("Lakeside", 1)},
                                         {"Lakeside/setup.ini", "ini"},
                                         {"Lakeside/course.stn", "stn"},
                                         {"Lakeside/notes.TCN", "tcn"},
                                         {"Lakeside/hole1.mp3", "h1"},
                                         {"Lakeside/prv/tree.dds", "prv"},
                                         {"Lakeside/sounds/bird.wav", "bird"}});
    const std::string folder = CourseFolder("Lakeside");
    const auto nothingInstalled = [&] {
        return FilesBelow(GameDir()).empty() && FilesBelow(Documents()).empty();
    };
    // Cancel leaves a file out, No keeps its name, Yes renames it with a lower-case extension.
    ui.ExpectYesNoCancel(DefaultButton::Yes, Containing("initialization file\n'setup.ini'"),
                         ANSWER_CANCEL);
    ui.ExpectYesNoCancel(DefaultButton::Yes, Containing("stationery file\n'course.stn'"),
                         ANSWER_NO);
    ui.ExpectYesNoCancel(DefaultButton::Yes, Containing("caddy book file\n'notes.TCN'"),
                         ANSWER_YES);
    ui.ExpectInformation(Containing("does not have an associated flag"));
    ui.ExpectOpenFile(flag);
    ui.ExpectDialog(DIALOG_TARGET_FOLDER, [&](ScriptedDialog& dialog) {
        dialog.Init();
        EXPECT_EQ(dialog.ItemText(TARGET_FOLDER_EDIT), folder);
        EXPECT_TRUE(nothingInstalled());
        dialog.Press(TARGET_FOLDER_OK_BUTTON);
    });
    ui.ExpectYesNo(DefaultButton::Yes, Containing("Install type: Course\nTarget path: " + folder),
                   GetParam());
    EXPECT_EQ(Install(archive), GetParam() == ANSWER_YES);
    if (GetParam() == ANSWER_NO) {
        EXPECT_TRUE(nothingInstalled());
        EXPECT_EQ(RegistryValue(GAME_COURSES_KEY, 1), "(none)");
        return;
    }
    EXPECT_EQ(FilesBelow(folder), (Names{"Lakeside.tcr", "club.DDS", "course.stn", "hole1.mp3",
                                         "prv\\tree.dds", "sounds\\bird.wav"}));
    EXPECT_EQ(machine.ReadFile(Documents() + "\\Greenvale 06\\Course Notes\\Lakeside.tcn"), "tcn");
    EXPECT_EQ(RegistryValue(GAME_COURSES_KEY, 1, "Flag"), folder + "\\club.DDS");
    EXPECT_EQ(RegistryValue(GAME_COURSES_KEY, 1, "Audio"), folder + "\\");
}

INSTANTIATE_TEST_SUITE_P(Confirmation, QuestionOrder, ::testing::Values(ANSWER_NO, ANSWER_YES),
                         [](const auto& row) { return row.param == ANSWER_YES ? "Yes" : "No"; });

// Lakeside, referencing the row's libraries, with the row's library files in the package, on
// a machine with the row's libraries installed and "Fog" (GUID 104) cloaked. The row's one
// message box, if any: 'E'rror, 'W'arning, 'I'nformation or 'Q'uestion (default No).
struct LibraryCase {
    const char* name;
    std::vector<test::Reference> references;
    Entries included;
    Entries installed;  // library name, file content
    const char* warnOnCloaked;
    char box;
    std::string text;
    int answer;
    Names courseFolder;  // afterwards; empty when the installation stops
    Names missing;
};

class CourseLibraries : public test::InstallTest,
                        public ::testing::WithParamInterface<LibraryCase> {};

TEST_P(CourseLibraries, AreCheckedBeforeAnythingIsCopied) {
    const LibraryCase& c = GetParam();
    for (const test::ZipFileEntry& library : c.installed)
        AddInstalledLibrary(library.name, library.data);
    AddCloakedLibrary(104, "Fog");
    SetProperty(PROPERTY_WARN_ON_CLOAKED_LIBRARIES, c.warnOnCloaked);
    if (c.box == 'E') {
        ui.ExpectError(Containing(c.text));
    } else if (c.box == 'W') {
        ui.ExpectWarning(c.text);
    } else if (c.box == 'I') {
        ui.ExpectInformation(c.text);
    } else if (c.box == 'Q') {
        ui.ExpectYesNo(DefaultButton::No, Containing(c.text), c.answer);
    }
    Entries entries = c.included;
    entries.push_back({"Lakeside.tcr", CourseData("Lakeside", 1, c.references)});
    const bool installs = !c.courseFolder.empty();
    EXPECT_EQ(Install(Package(entries)), installs);
    EXPECT_EQ(FilesBelow(CourseFolder("Lakeside")), c.courseFolder);
    EXPECT_EQ(RegistryValue(GAME_COURSES_KEY, 1), installs ? "Lakeside" : "(none)");
    EXPECT_EQ(result.courseName, "Lakeside");
    EXPECT_EQ(result.missingLibraryNames, c.missing);
    EXPECT_EQ(RegistryValue(GAME_LIBRARIES_KEY, 101, "Filename"),
              c.courseFolder.size() > 1 ? CourseFolder("Lakeside") + "\\Trees.tcl" : "(none)");
    // A skipped library keeps its entry as it was.
    const bool sandInstalled = !c.installed.empty() && c.installed[0].name == "Sand";
    EXPECT_EQ(RegistryValue(GAME_LIBRARIES_KEY, 105, "Filename"),
              sandInstalled ? LibraryFolder("Sand") + "\\Sand.tcl" : "(none)");
}

const GUID STOCK = {0x2DE90001, 0x40F4, 0x4B13, {0xA8, 0x63, 0xB2, 0x0C, 0x58, 0x11, 0x8C, 0x22}};
const Names COURSE_ONLY = {"Lakeside.tcr"};
const std::string MISSING = "requires the following library:\n\nRocks\n\nHowever, this";
const std::string RENAMED =
    "WARNING - Parvane has detected that the referenced library 'Bushes'\nis already installed "
    "as 'Bushes v2' on your system.";
const std::string CLOAKED =
    "The library 'Fog' is installed on your system, but it\nis currently cloaked. You need to "
    "uncloak this library before playing\nthe course you are installing.";
const std::string STOCK_INCLUDED = "The included library 'Stock' is a stock library!\n\nIt";
const std::string IGNORED =
    "The included library 'Sand' is already installed on your system.\nThis library will be "
    "ignored.";
const Entries SAND = {{"Sand", LibraryData("Sand", 105)}};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, CourseLibraries, ::testing::Values(
    LibraryCase{"Included", {{101, "Trees"}}, {{"Trees.tcl", LibraryData("Trees", 101)}}, {}, "1",
                0, "", 0, {"Lakeside.tcr", "Trees.tcl"}, {}},
    LibraryCase{"MissingAccepted", {{102, "Rocks"}}, {}, {}, "1",
                'Q', MISSING, ANSWER_YES, COURSE_ONLY, {"Rocks"}},
    LibraryCase{"MissingRefused", {{102, "Rocks"}}, {}, {}, "1", 'Q', MISSING, ANSWER_NO, {}, {}},
    LibraryCase{"UnderAnotherHeaderName", {{103, "Bushes"}}, {},
                {{"Bushes", LibraryData("Bushes v2", 103)}}, "1",
                'Q', RENAMED, ANSWER_YES, COURSE_ONLY, {}},
    LibraryCase{"CloakedWarned", {{104, "Fog"}}, {}, {}, "1", 'W', CLOAKED, 0, COURSE_ONLY, {}},
    LibraryCase{"CloakedWithoutWarning", {{104, "Fog"}}, {}, {}, "0", 0, "", 0, COURSE_ONLY, {}},
    LibraryCase{"IncludedStock", {}, {{"Stock.tcl", LibraryData("Stock", STOCK)}},
                {{"Stock", LibraryData("Stock", STOCK)}}, "1",
                'E', STOCK_INCLUDED, 0, COURSE_ONLY, {}},
    LibraryCase{"IncludedAndIdentical", {}, {{"Sand.tcl", SAND[0].data}}, SAND, "1",
                'I', IGNORED, 0, COURSE_ONLY, {}},
    LibraryCase{"IncludedAndDifferent", {}, {{"Sand.tcl", LibraryData("Sand", 105, 9)}}, SAND,
                "1", 'E', "The installation will now be cancelled.", 0, {}, {}}),
    test::RowName());
// clang-format on

// A target folder set with '/' installs and registers the course in the one spelling.
TEST_F(InstallArchiveTest, ATargetFolderWithForwardSlashesRegistersEveryFile) {
    std::string typed = GameDir();
    typed[typed.rfind('\\')] = '/';
    SetProperty(PROPERTY_TARGET_FOLDER, typed + "//");
    ASSERT_TRUE(
        Install(Package({{"Glen/Glen.tcr", CourseData("Glen", 5)}, {"Glen/flag.dds", "f"}})));
    EXPECT_EQ(RegistryValue(GAME_COURSES_KEY, 5, "Filename"), CourseFolder("Glen") + "\\Glen.tcr");
    EXPECT_EQ(RegistryValue(GAME_COURSES_KEY, 5, "Flag"), CourseFolder("Glen") + "\\flag.dds");
}

TEST_F(InstallArchiveTest, TheSameCourseAgainIsRefused) {
    EXPECT_TRUE(Install(Package({{"Lakeside.tcr", CourseData("Lakeside", 1)}})));
    ui.ExpectError(
        "You are trying to install 'Lakeside',\nbut that course is already installed on your "
        "system.");
    EXPECT_FALSE(Install(Package({{"Lakeside.tcr", CourseData("Lakeside", 1)}})));
    ui.ExpectError(
        Containing("Parvane has detected that the course 'Lakeside'\nis already "
                   "installed as 'Lakeside' on your system, and the\ncontents"));
    EXPECT_FALSE(Install(Package({{"Lakeside.tcr", CourseData("Lakeside", 1, {}, 7)}})));
    EXPECT_EQ(machine.ReadFile(CourseFolder("Lakeside") + "\\Lakeside.tcr"),
              CourseData("Lakeside", 1));
}

// A file the installation brings is already in the course's folder.
struct OverwriteCase {
    const char* name;
    const char* warn;
    int answer;  // 0: no question
    bool readOnly;
    bool installs;
    const char* contentAfter;
};

class Overwriting : public test::InstallTest,
                    public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(Overwriting, FollowsTheSwitchAndTheAnswer) {
    const OverwriteCase& c = GetParam();
    const std::string existing = CourseFolder("Lakeside") + "\\readme.txt";
    machine.WriteFile(existing, "old");
    SetProperty(PROPERTY_WARN_ON_OVERWRITE_FILE, c.warn);
    if (c.readOnly) {
        machine.SetReadOnly(existing, true);
        ui.ExpectError("The target file '" + existing +
                       "' exists and has the read-only attribute set.\nPlease re-run the "
                       "installation and choose a different path.");
    } else if (c.answer != 0) {
        ui.ExpectYesNoCancel(DefaultButton::No,
                             Containing("The target file '" + existing +
                                        "' already exists.\nDo you want Parvane to overwrite"),
                             c.answer);
    }
    EXPECT_EQ(
        Install(Package({{"Lakeside.tcr", CourseData("Lakeside", 1)}, {"readme.txt", "new"}})),
        c.installs);
    EXPECT_EQ(machine.ReadFile(existing), c.contentAfter);
    EXPECT_EQ(RegistryValue(GAME_COURSES_KEY, 1), c.installs ? "Lakeside" : "(none)");
    machine.SetReadOnly(existing, false);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Overwriting,
    ::testing::Values(OverwriteCase{"Off", "0", 0, false, true, "new"},
                      OverwriteCase{"Yes", "1", ANSWER_YES, false, true, "new"},
                      OverwriteCase{"No", "1", ANSWER_NO, false, true, "old"},
                      OverwriteCase{"Cancel", "1", ANSWER_CANCEL, false, false, "old"},
                      OverwriteCase{"ReadOnly", "0", 0, true, false, "old"}),
    test::RowName());

TEST_F(InstallArchiveTest, SeveralLibrariesGoOnPastOneAlreadyInstalled) {
    AddInstalledLibrary("Beta", LibraryData("Beta", 202));
    const std::string archive = Package({{"Alpha.tcl", LibraryData("Alpha", 201)},
                                         {"Beta.tcl", LibraryData("Beta", 202)},
                                         {"Gamma.tcl", LibraryData("Gamma", 203)}});
    const auto question = Containing("contains\nmultiple libraries and will now attempt");
    ui.ExpectYesNo(DefaultButton::Yes, question, ANSWER_NO);
    EXPECT_FALSE(Install(archive));
    EXPECT_EQ(RegistryValue(GAME_LIBRARIES_KEY, 201), "(none)");

    ui.ExpectYesNo(DefaultButton::Yes, question, ANSWER_YES);
    ui.ExpectError(
        "You are trying to install 'Beta',\nbut that library is already installed on your "
        "system.");
    EXPECT_FALSE(Install(archive));
    EXPECT_EQ(RegistryValue(GAME_LIBRARIES_KEY, 201, "Filename"),
              LibraryFolder("Alpha") + "\\Alpha.tcl");
    EXPECT_EQ(machine.ReadFile(LibraryFolder("Gamma") + "\\Gamma.tcl"), LibraryData("Gamma", 203));
    EXPECT_EQ(RegistryValue(GAME_LIBRARIES_KEY, 203), "Gamma");
}

// A bare library file is a package of its own, confirmed as a library. What an earlier
// installation left in the temporary folder (here a course file) is removed first and plays no
// part; a folder that cannot be removed stops the installation.
TEST_F(InstallArchiveTest, ABareLibraryFileInstallsFromAnEmptyFolder) {
    const std::string leftover = GetTempExtractionFolder() + "\\Old.tcr";
    machine.WriteFile(leftover, CourseData("Old", 9));
    const std::string library = Scratch() + "\\Pines.tcl";
    machine.WriteFile(library, LibraryData("Pines", 301));
    SetProperty(PROPERTY_ASK_FOR_INSTALL_PROCEED, "1");
    ui.ExpectYesNo(DefaultButton::Yes,
                   Containing("Install type: Library\nTarget path: " + LibraryFolder("Pines")),
                   ANSWER_YES);
    EXPECT_TRUE(Install(library));
    EXPECT_EQ(FilesBelow(GameDir()), Names{"libraries\\Pines\\Pines.tcl"});
    EXPECT_EQ(RegistryValue(GAME_LIBRARIES_KEY, 301), "Pines");

    machine.WriteFile(leftover, "");
    test::FaultInjectingMachine faults;
    faults.Inject({.call = test::MachineCall::RemoveEmptyFolder, .count = test::EVERY_CALL});
    ui.ExpectError(Containing("Couldn't remove directory '" + GetTempExtractionFolder()));
    ui.ExpectError("The temporary folder '" + GetTempExtractionFolder() +
                   "' of an earlier installation could not be removed.\nRemove it and try the "
                   "installation again.");
    EXPECT_FALSE(Install(library));
}

// Paths that cannot be used are refused whole before anything is copied.
TEST_F(InstallArchiveTest, AnUnusableDestinationIsRefusedBeforeCopying) {
    // The course's folder fits into 255 characters, the course file's path does not.
    const std::string longFolder = GameDir() + "\\" + std::string(229 - GameDir().size(), 'x');
    const std::string archive = Package({{"Lakeside.tcr", CourseData("Lakeside", 1)}});
    SetProperty(PROPERTY_TARGET_FOLDER, longFolder);
    ui.ExpectError("The destination path '" + longFolder +
                   "\\courses\\Lakeside\\Lakeside.tcr' is longer than 255 characters.\nChoose a "
                   "shorter target folder and try again.");
    EXPECT_FALSE(Install(archive));
    SetProperty(PROPERTY_TARGET_FOLDER, "Games");
    ui.ExpectError(Containing("The target folder 'Games\\courses\\Lakeside' is not a full path"));
    EXPECT_FALSE(Install(archive));
    EXPECT_TRUE(FilesBelow(GameDir()).empty());
}

}  // namespace
}  // namespace parvane
