#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "archive/Folders.h"
#include "base/RegistryRoots.h"
#include "installer/InstallRecord.h"
#include "installer/TargetFolderDialog.h"
#include "properties/Properties.h"
#include "support/FaultInjectingMachine.h"
#include "support/InstallFixture.h"

namespace parvane {
namespace {

using Names = std::vector<std::string>;
using test::CourseData;
using test::LibraryData;
using test::Reference;
using Entries = std::vector<test::ZipFileEntry>;

const std::string RENAMING_TAIL =
    "' does not have the same name as the course file.\n\nDo you want Parvane to correct "
    "this?\n\nPress Yes to correct the file name.\nPress No to copy the file with its current "
    "name.\nPress Cancel to skip copying the file.";

class InstallArchiveTest : public test::InstallTest {
  protected:
    // Lakeside (GUID 1) with every kind of companion file, in folders as designers pack them.
    std::string FullCoursePackage() {
        return Package({{"Lakeside/Lakeside.tcr", CourseData("Lakeside", 1)},
                        {"Lakeside/setup.ini", "ini"},
                        {"Lakeside/course.stn", "stn"},
                        {"Lakeside/notes.tcn", "tcn"},
                        {"Lakeside/snd.ini", "snd"},
                        {"Lakeside/logo.dds", "logo"},
                        {"Lakeside/theme.mp3", "music"},
                        {"Lakeside/splash.bmp", "picture"},
                        {"Lakeside/readme.txt", "text"},
                        {"Lakeside/hole1.mp3", "h1"},
                        {"Lakeside/hole2.mp3", "h2"},
                        {"Lakeside/prv/tree.dds", "prv"},
                        {"Lakeside/sounds/bird.wav", "bird"}});
    }
    bool NothingInstalled() {
        return FilesBelow(GameDir()).empty() && FilesBelow(Documents()).empty();
    }
};

class QuestionOrder : public InstallArchiveTest, public ::testing::WithParamInterface<int> {};

// Every question comes in its place: renaming, flag, target folder, confirmation; nothing is
// written into the game's folders until the confirmation is answered Yes.
TEST_P(QuestionOrder, AllQuestionsComeBeforeAnythingIsCopied) {
    for (const char* key : {PROPERTY_ASK_FOR_FLAG, PROPERTY_ASK_FOR_TARGET_FOLDER,
                            PROPERTY_ASK_FOR_INSTALL_PROCEED}) {
        SetProperty(key, "1");
    }
    const std::string flag = Scratch() + "\\Flags\\club.DDS";
    machine.WriteFile(flag, "flag");
    const std::string archive = FullCoursePackage();
    const std::string folder = CourseFolder("Lakeside");
    ui.ExpectYesNoCancel(DefaultButton::Yes,
                         "Parvane has detected that the supplied course initialization "
                         "file\n'setup.ini" +
                             RENAMING_TAIL,
                         ANSWER_YES);
    ui.ExpectYesNoCancel(
        DefaultButton::Yes,
        "Parvane has detected that the supplied sound stationery file\n'course.stn" + RENAMING_TAIL,
        ANSWER_NO);
    ui.ExpectYesNoCancel(
        DefaultButton::Yes,
        "Parvane has detected that the supplied caddy book file\n'notes.tcn" + RENAMING_TAIL,
        ANSWER_CANCEL);
    ui.ExpectInformation(Containing("does not have an associated flag"));
    ui.ExpectOpenFile(flag);
    ui.ExpectDialog(103, [&](ScriptedDialog& dialog) {
        dialog.Init();
        EXPECT_EQ(dialog.ItemText(TARGET_FOLDER_EDIT), folder);
        EXPECT_TRUE(NothingInstalled());
        dialog.Press(TARGET_FOLDER_OK_BUTTON);
    });
    ui.ExpectYesNo(DefaultButton::Yes,
                   Containing("Install type: Course\nTarget path: " + folder + "\n"), GetParam());
    EXPECT_EQ(Install(archive), GetParam() == ANSWER_YES);
    if (GetParam() == ANSWER_NO) {
        EXPECT_TRUE(NothingInstalled());
        EXPECT_FALSE(IsRegistered(GAME_COURSES_KEY, 1));
        return;
    }
    EXPECT_EQ(FilesBelow(folder),
              (Names{"Lakeside.ini", "Lakeside.tcr", "club.DDS", "course.stn", "hole1.mp3",
                     "hole2.mp3", "logo.dds", "prv\\tree.dds", "readme.txt", "snd.ini",
                     "sounds\\bird.wav", "splash.bmp", "theme.mp3"}));
    EXPECT_EQ(machine.ReadFile(folder + "\\Lakeside.ini"), "ini");
    EXPECT_TRUE(FilesBelow(Documents()).empty()) << "the caddy book was left out";
    const std::vector<std::pair<const char*, std::string>> values = {
        {"Name", "Lakeside"},
        {"Filename", folder + "\\Lakeside.tcr"},
        {"Flag", folder + "\\club.DDS"},
        {"Logo", folder + "\\logo.dds"},
        {"Audio", folder + "\\"},
        {"Music", folder + "\\theme.mp3"},
        {"Picture", folder + "\\splash.bmp"},
        {"Text", folder + "\\readme.txt"}};
    for (const auto& [name, value] : values) {
        EXPECT_EQ(RegistryValue(GAME_COURSES_KEY, 1, name), value);
    }
}

INSTANTIATE_TEST_SUITE_P(Confirmation, QuestionOrder, ::testing::Values(ANSWER_NO, ANSWER_YES),
                         [](const auto& row) { return row.param == ANSWER_YES ? "Yes" : "No"; });

TEST_F(InstallArchiveTest, ACaddyBookGoesToTheCourseNotesOfTheDocumentsFolder) {
    EXPECT_TRUE(
        Install(Package({{"Lakeside.tcr", CourseData("Lakeside", 1)}, {"Lakeside.tcn", "tcn"}})));
    EXPECT_EQ(machine.ReadFile(Documents() + "\\Greenvale 06\\Course Notes\\Lakeside.tcn"), "tcn");
}

// The libraries of a course: each row prepares the catalogue and the questions, then installs
// Lakeside referencing the row's libraries, with the row's library files in the package.
struct LibraryCase {
    const char* name;
    std::vector<Reference> references;
    Entries included;
    std::function<void(test::InstallTest&, ScriptedUserInterface&)> prepare;
    bool installs;
    Names courseFolder;  // the files of the course's folder afterwards
    Names missing;
    std::vector<std::uint32_t> registered;  // libraries registered by the installation
};

class CourseLibraries : public InstallArchiveTest,
                        public ::testing::WithParamInterface<LibraryCase> {};

TEST_P(CourseLibraries, AreCheckedBeforeAnythingIsCopied) {
    const LibraryCase& c = GetParam();
    c.prepare(*this, ui);
    Entries entries = c.included;
    entries.push_back({"Lakeside.tcr", CourseData("Lakeside", 1, c.references)});
    EXPECT_EQ(Install(Package(entries)), c.installs);
    EXPECT_EQ(FilesBelow(CourseFolder("Lakeside")), c.courseFolder);
    EXPECT_EQ(IsRegistered(GAME_COURSES_KEY, 1), c.installs);
    EXPECT_EQ(result.courseName, "Lakeside");
    EXPECT_EQ(result.missingLibraryNames, c.missing);
    for (const std::uint32_t guid : c.registered) {
        EXPECT_TRUE(IsRegistered(GAME_LIBRARIES_KEY, guid)) << guid;
    }
}

const std::string MISSING_TEXT =
    "The course you are installing requires the following library:\n\nRocks\n\nHowever, this "
    "library is not installed on your system, and it is not\nincluded in the installation "
    "archive. This means that the course\nwill not be playable until you install the missing "
    "library.\n\nContinue anyway?";
const GUID STOCK_GUID = {
    0x2DE90001, 0x40F4, 0x4B13, {0xA8, 0x63, 0xB2, 0x0C, 0x58, 0x11, 0x8C, 0x22}};
const Names COURSE_ONLY = {"Lakeside.tcr"};

void AskNothing(test::InstallTest&, ScriptedUserInterface&) {}

INSTANTIATE_TEST_SUITE_P(
    Cases, CourseLibraries,
    ::testing::Values(
        LibraryCase{"Included",
                    {{101, "Trees"}},
                    {{"Trees.tcl", LibraryData("Trees", 101)}},
                    AskNothing,
                    true,
                    {"Lakeside.tcr", "Trees.tcl"},
                    {},
                    {101}},
        LibraryCase{"MissingAccepted",
                    {{102, "Rocks"}},
                    {},
                    [](test::InstallTest&, ScriptedUserInterface& ui) {
                        ui.ExpectYesNo(DefaultButton::No, MISSING_TEXT, ANSWER_YES);
                    },
                    true,
                    COURSE_ONLY,
                    {"Rocks"},
                    {}},
        LibraryCase{"MissingRefused",
                    {{102, "Rocks"}},
                    {},
                    [](test::InstallTest&, ScriptedUserInterface& ui) {
                        ui.ExpectYesNo(DefaultButton::No, MISSING_TEXT, ANSWER_NO);
                    },
                    false,
                    {},
                    {},
                    {}},
        LibraryCase{"UnderAnotherHeaderName",
                    {{103, "Bushes"}},
                    {},
                    [](test::InstallTest& test, ScriptedUserInterface& ui) {
                        test.AddInstalledLibrary("Bushes", LibraryData("Bushes v2", 103));
                        ui.ExpectYesNo(DefaultButton::No,
                                       Containing("WARNING - Parvane has detected that the "
                                                  "referenced library 'Bushes'\nis already "
                                                  "installed as 'Bushes v2' on your system."),
                                       ANSWER_YES);
                    },
                    true,
                    COURSE_ONLY,
                    {},
                    {}},
        LibraryCase{"CloakedWarned",
                    {{104, "Fog"}},
                    {},
                    [](test::InstallTest& test, ScriptedUserInterface& ui) {
                        test.AddCloakedLibrary(104, "Fog");
                        ui.ExpectWarning(
                            "The library 'Fog' is installed on your system, but it\nis "
                            "currently cloaked. You need to uncloak this library before "
                            "playing\nthe course you are installing.");
                    },
                    true,
                    COURSE_ONLY,
                    {},
                    {}},
        LibraryCase{"CloakedWithoutWarning",
                    {{104, "Fog"}},
                    {},
                    [](test::InstallTest& test, ScriptedUserInterface&) {
                        test.AddCloakedLibrary(104, "Fog");
                        SetProperty(PROPERTY_WARN_ON_CLOAKED_LIBRARIES, "0");
                    },
                    true,
                    COURSE_ONLY,
                    {},
                    {}},
        LibraryCase{"IncludedStock",
                    {},
                    {{"Stock.tcl", LibraryData("Stock", STOCK_GUID)}},
                    [](test::InstallTest& test, ScriptedUserInterface& ui) {
                        test.AddInstalledLibrary("Stock", LibraryData("Stock", STOCK_GUID));
                        ui.ExpectError(
                            Containing("The included library 'Stock' is a stock "
                                       "library!\n\nIt should not be included"));
                    },
                    true,
                    COURSE_ONLY,
                    {},
                    {}},
        LibraryCase{"IncludedAndIdentical",
                    {{105, "Sand"}},
                    {{"Sand.tcl", LibraryData("Sand", 105)}},
                    [](test::InstallTest& test, ScriptedUserInterface& ui) {
                        test.AddInstalledLibrary("Sand", LibraryData("Sand", 105));
                        ui.ExpectInformation(
                            "The included library 'Sand' is already installed on your "
                            "system.\nThis library will be ignored.");
                    },
                    true,
                    COURSE_ONLY,
                    {},
                    {}},
        LibraryCase{"IncludedAndDifferent",
                    {},
                    {{"Sand.tcl", LibraryData("Sand", 105, 9)}},
                    [](test::InstallTest& test, ScriptedUserInterface& ui) {
                        test.AddInstalledLibrary("Sand", LibraryData("Sand", 105));
                        ui.ExpectError(Containing("The installation will now be cancelled."));
                    },
                    false,
                    {},
                    {},
                    {}}),
    test::RowName());

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

// Overwriting the files of a course folder that holds a file the installation brings.
struct OverwriteCase {
    const char* name;
    const char* warn;
    int answer;  // 0: no question
    bool readOnly;
    bool installs;
    const char* contentAfter;
};

class Overwriting : public InstallArchiveTest,
                    public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(Overwriting, FollowsTheSwitchAndTheAnswer) {
    const OverwriteCase& c = GetParam();
    const std::string existing = CourseFolder("Lakeside") + "\\readme.txt";
    machine.WriteFile(existing, "old");
    if (c.readOnly) {
        machine.SetReadOnly(existing, true);
        ui.ExpectError("The target file '" + existing +
                       "' exists and has the read-only attribute set.\nPlease re-run the "
                       "installation and choose a different path.");
    }
    SetProperty(PROPERTY_WARN_ON_OVERWRITE_FILE, c.warn);
    if (c.answer != 0) {
        ui.ExpectYesNoCancel(DefaultButton::No, Containing("'" + existing + "' already exists."),
                             c.answer);
    }
    EXPECT_EQ(
        Install(Package({{"Lakeside.tcr", CourseData("Lakeside", 1)}, {"readme.txt", "new"}})),
        c.installs);
    EXPECT_EQ(machine.ReadFile(existing), c.contentAfter);
    EXPECT_EQ(IsRegistered(GAME_COURSES_KEY, 1), c.installs);
    if (c.readOnly) {
        machine.SetReadOnly(existing, false);
    }
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
    const std::string question =
        "Parvane has detected that the archive you are installing contains\nmultiple "
        "libraries and will now attempt to install them one by one.\n\nOk to proceed with the "
        "installation?";
    ui.ExpectYesNo(DefaultButton::Yes, question, ANSWER_NO);
    EXPECT_FALSE(Install(archive));
    EXPECT_FALSE(IsRegistered(GAME_LIBRARIES_KEY, 201));

    ui.ExpectYesNo(DefaultButton::Yes, question, ANSWER_YES);
    ui.ExpectError(
        "You are trying to install 'Beta',\nbut that library is already installed on your "
        "system.");
    EXPECT_FALSE(Install(archive));
    for (const char* name : {"Alpha", "Gamma"}) {
        EXPECT_EQ(FilesBelow(LibraryFolder(name)), Names{std::string(name) + ".tcl"});
    }
    EXPECT_TRUE(IsRegistered(GAME_LIBRARIES_KEY, 201));
    EXPECT_EQ(RegistryValue(GAME_LIBRARIES_KEY, 203, "Filename"),
              LibraryFolder("Gamma") + "\\Gamma.tcl");
}

// A bare library file is a package of its own. What an earlier installation left in the
// temporary folder (here a course file) is removed first and plays no part.
TEST_F(InstallArchiveTest, ABareLibraryFileInstallsFromAnEmptyFolder) {
    const std::string leftover = GetTempExtractionFolder() + "\\Old.tcr";
    machine.WriteFile(leftover, CourseData("Old", 9));
    const std::string library = Scratch() + "\\Pines.tcl";
    machine.WriteFile(library, LibraryData("Pines", 301));
    EXPECT_TRUE(Install(library));
    EXPECT_EQ(FilesBelow(LibraryFolder("Pines")), Names{"Pines.tcl"});
    EXPECT_EQ(RegistryValue(GAME_LIBRARIES_KEY, 301, "Name"), "Pines");
    EXPECT_FALSE(machine.FileExists(leftover));
    EXPECT_TRUE(FilesBelow(CourseFolder("Old")).empty());

    machine.WriteFile(leftover, "");
    test::FaultInjectingMachine faults;
    faults.Inject({.call = test::MachineCall::RemoveEmptyFolder, .count = test::EVERY_CALL});
    ui.ExpectError(Containing("Couldn't remove directory '" + GetTempExtractionFolder()));
    ui.ExpectError("The temporary folder '" + GetTempExtractionFolder() +
                   "' of an earlier installation could not be removed.\nRemove it and try the "
                   "installation again.");
    EXPECT_FALSE(Install(library));
}

// Paths that cannot be used are refused before anything is copied, never cut.
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
