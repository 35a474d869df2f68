// What the program may delete: content folders inside the game's folder and free of the
// game's own sources, paths without dot components, never through a link.

#include <gtest/gtest.h>

#include <string>

#include "archive/Folders.h"
#include "archive/RemovableLocation.h"
#include "archive/TempExtractionFolder.h"
#include "base/GameFolders.h"
#include "base/PathText.h"
#include "support/FaultInjectingMachine.h"
#include "support/ProcessStateResets.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

// A course folder inside the game's folder, and a file of the user's outside it.
class DeletionGuards : public ::testing::Test {
  protected:
    DeletionGuards() {
        ForgetGameFolders();
        machine.MakeFolders(course + "\\x");
        machine.WriteFile(victim, "keep");
    }
    ~DeletionGuards() override { ForgetGameFolders(); }

    std::string MakeFile(const std::string& path) {
        machine.WriteFile(path, "x");
        return path;
    }
    void ExpectRefusal(const std::string& folder) {
        ui.ExpectError(Containing("Parvane will not remove the folder '" + folder + "'"));
        RemoveFolder(folder);
    }

    test::TestMachine machine;
    ScriptedUserInterface ui;
    const std::string game = machine.GameInstallDir();
    const std::string course = game + "\\courses\\Pine";
    const std::string outside = machine.ScratchFolder();
    const std::string victim = outside + "\\victim.tcr";
};

TEST_F(DeletionGuards, RemovableLocationsAreFoldersInsideTheGameFolderFreeOfSources) {
    EXPECT_TRUE(IsRemovableLocation(MakeFile(course + "\\Pine.tcr")));
    EXPECT_TRUE(IsRemovableLocation(course + "\\NotYetThere.tcr"));
    MakeFile(course + "\\Objects.TLB");
    EXPECT_FALSE(IsRemovableLocation(course + "\\Pine.tcr"));
    ASSERT_EQ(TheMachine().RemoveFile(course + "\\Objects.TLB"), ERR_SUCCESS);
    MakeFile(course + "\\Pine.tca");
    EXPECT_FALSE(IsRemovableLocation(course + "\\Pine.tcr"));

    // Neither the game folder itself nor anything outside it, such as a sibling whose name
    // merely starts like the game folder's.
    EXPECT_FALSE(IsRemovableLocation(MakeFile(game + "\\Stray.tcl")));
    EXPECT_FALSE(IsRemovableLocation(MakeFile(outside + "\\Pine.tcr")));
    EXPECT_FALSE(IsRemovableLocation(MakeFile(game + " Old\\Pine.tcr")));
    EXPECT_FALSE(
        IsRemovableLocation(course + "\\..\\..\\..\\" + GetFileNamePart(game) + " Old\\Pine.tcr"));
    // While the game folder is unknown, nothing is inside it.
    machine.SetString(Hive::LocalMachine, test::GAME_KEY, "Install Dir", "");
    ForgetGameFolders();
    EXPECT_FALSE(IsRemovableLocation(MakeFile(course + "\\x\\Pine.tcr")));
}

TEST_F(DeletionGuards, PathUnderIgnoresCaseAndTrailingSeparatorsButNotDotComponents) {
    MakeFile(game + " Old\\x.txt");
    EXPECT_TRUE(IsPathUnder(game + "\\", course + "\\"));
    EXPECT_TRUE(IsPathUnder(game, game + "\\COURSES"));
    EXPECT_FALSE(IsPathUnder(game + "\\", game));
    EXPECT_FALSE(IsPathUnder(game, game + " Old"));
    EXPECT_FALSE(IsPathUnder(game, game + "\\Missing"));
    EXPECT_FALSE(IsPathUnder(game + "\\Missing", course));
    // Windows keeps ".." in a long path name; the prefix would then hide a way out.
    test::FaultInjectingMachine keeping;
    keeping.AnswerLongPathNamesAsGiven();
    EXPECT_TRUE(IsPathUnder(game, game + "\\courses"));
    EXPECT_FALSE(IsPathUnder(game, game + "\\courses\\..\\..\\Windows"));
    EXPECT_FALSE(IsPathUnder(game, game + "\\.\\courses"));
}

TEST_F(DeletionGuards, DotComponentsWithEitherSeparatorAreRefusedAnywhereInThePath) {
    // The folder part is cut at the last '/', so this one's folder is the course folder.
    for (const std::string& path :
         {course + "/x\\..\\..\\..\\..\\evil.tcr", course + "\\x\\..\\..\\..\\evil.tcr",
          course + "/x/../../../evil.tcr", course + "\\.\\Pine.tcr", course + "\\x\\...",
          course + "/x/. ."}) {
        EXPECT_FALSE(IsRemovableLocation(path)) << path;
        EXPECT_FALSE(IsDeletableContentPath(path)) << path;
    }
    EXPECT_TRUE(IsRemovableLocation(course + "\\Pine.tcr"));
    EXPECT_TRUE(IsDeletableContentPath(course + "/x/Pine.ini"));  // need not exist
    EXPECT_TRUE(IsDeletableContentPath(game + "\\Stray.tcl"));
    EXPECT_FALSE(IsDeletableContentPath(game));
    EXPECT_FALSE(IsDeletableContentPath(victim));
    // A sibling whose name merely starts like the game folder's is outside it.
    EXPECT_FALSE(IsDeletableContentPath(MakeFile(game + " Old\\x.tcr")));
}

TEST_F(DeletionGuards, CaddyBooksAreDeletableInsideTheCourseNotesFolderOnly) {
    const std::string notes = GetPersonalFolder() + "\\Greenvale 06\\Course Notes";
    machine.MakeFolders(notes);
    EXPECT_TRUE(IsDeletableCaddyBookPath(notes + "\\Pine.tcn"));
    EXPECT_FALSE(IsDeletableCaddyBookPath(notes + "\\..\\Pine.tcn"));
    EXPECT_FALSE(IsDeletableCaddyBookPath(GetPersonalFolder() + "\\Pine.tcn"));
}

TEST_F(DeletionGuards, RemoveFolderRefusesEverythingOutsideTheGameAndItsOwnTemporaryFolders) {
    machine.WriteFile(course + "\\Pine.tcr", "x");
    for (const std::string& folder :
         {std::string(), std::string("C:\\"), std::string("C:"), outside, game, game + "\\",
          game + "\\Courses\\", course + "\\x\\..", course + "/x/../..\\Pine", course + "\\."}) {
        ExpectRefusal(folder);
    }
    EXPECT_EQ(machine.ReadFile(victim), "keep");
    EXPECT_TRUE(machine.FileExists(course + "\\Pine.tcr"));

    // The program's own temporary folders are its to remove.
    const std::string temporary = MakeOwnTemporaryFolder();
    machine.WriteFile(temporary + "\\a.zip", "a");
    RemoveFolder(temporary);
    EXPECT_FALSE(machine.FolderExists(temporary));
}

TEST_F(DeletionGuards, LinksInsideTheGameFolderAreRemovedThemselvesAndNeverFollowed) {
    machine.MakeFolders(outside + "\\Sub");
    machine.WriteFile(outside + "\\Sub\\victim.tcr", "keep");
    machine.MakeFolderLink(course + "\\Link", outside);
    machine.MakeFolderLink(game + "\\courses\\Elm", outside);

    EXPECT_FALSE(IsDeletableContentPath(course + "\\Link\\victim.tcr"));
    EXPECT_TRUE(IsDeletableContentPath(course + "\\Link"));
    ExpectRefusal(course + "\\Link\\Sub");

    // A folder that is a link, and a link inside the folder, go as links.
    RemoveFolder(game + "\\courses\\Elm");
    machine.WriteFile(course + "\\Pine.tcr", "x");
    RemoveFolder(course + "\\x");
    RemoveFolder(course);
    EXPECT_FALSE(machine.FolderExists(game + "\\courses\\Elm"));
    EXPECT_FALSE(machine.FolderExists(course));
    EXPECT_EQ(machine.ReadFile(victim), "keep");
    EXPECT_EQ(machine.ReadFile(outside + "\\Sub\\victim.tcr"), "keep");
}

}  // namespace
}  // namespace parvane
