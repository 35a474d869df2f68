#include <gtest/gtest.h>

#include "uninstall/CourseRemoval.h"
#include "uninstall/InstalledContent.h"

namespace parvane::test {
namespace {

class CourseRemoval : public InstalledContentTest {
  protected:
    // Answers the confirmation for the course, expects the closing box (if any) and removes it.
    bool Uninstall(const std::string& name, const std::string& folder, int answer = ANSWER_YES,
                   const std::string& closing = {}) {
        ui.ExpectYesNo(DefaultButton::No,
                       "Are you sure you want to uninstall '" + name + "'\nfrom its location in '" +
                           folder + "' ?",
                       answer);
        if (!closing.empty())
            ui.ExpectInformation(closing);
        const CourseRecord* course = nullptr;
        for (const CourseRecord& listed : GetInstalledCourses())
            course = listed.name == name ? &listed : course;
        return course != nullptr && UninstallCourse(*course);
    }
    std::string SharedFolderMessage(const std::string& counts, const std::string& folder) {
        return "There are " + counts +
               " installed in the same folder as the course you are uninstalling.\nThe folder '" +
               folder + "' will not be removed.";
    }
};

TEST_F(CourseRemoval, CourseAloneInItsFolderGoesWithEveryFileAndTheFolder) {
    const std::string folder = Folder("Pine");
    const InstalledEntry pine = AddCourse(folder, "Pine", "Pine Valley");
    for (const std::string& file :
         {folder + "\\hole1.mp3", folder + "\\hole18.mp3", folder + "\\readme.txt",
          folder + "\\prv\\a.prv", folder + "\\sounds\\s.wav"}) {
        machine.WriteFile(file, "x");
    }
    Load();

    EXPECT_TRUE(Uninstall("Pine Valley", folder));

    ExpectPresent(pine, false);
    EXPECT_FALSE(machine.FolderExists(folder));
}

TEST_F(CourseRemoval, SharedFolderKeepsWhatTheOthersNeed) {
    const std::string folder = Folder("Pair");
    const InstalledEntry first = AddCourse(folder, "First", "First");
    const InstalledEntry second = AddCourse(folder, "Second", "Second");
    const InstalledEntry library = AddLibrary(Folder("Mixed"), 7);
    const InstalledEntry mixed = AddCourse(Folder("Mixed"), "Mixed", "Mixed", {7});
    machine.WriteFile(folder + "\\prv\\a.prv", "x");
    machine.WriteFile(Folder("Mixed") + "\\prv\\a.prv", "x");
    Load();

    EXPECT_TRUE(Uninstall("First", folder, ANSWER_YES,
                          SharedFolderMessage("1 course(s) and 0 libraries", folder)));
    EXPECT_TRUE(Uninstall("Mixed", Folder("Mixed"), ANSWER_YES,
                          SharedFolderMessage("1 libraries", Folder("Mixed"))));

    ExpectPresent(first, false);
    ExpectPresent(mixed, false);
    ExpectPresent(second, true);
    ExpectPresent(library, true);
    EXPECT_TRUE(machine.FileExists(folder + "\\prv\\a.prv"));
    EXPECT_FALSE(machine.FolderExists(Folder("Mixed") + "\\prv"));
}

// Another spelling of the folder (letter case, doubled and forward separators) is the same
// folder: it is kept, and only the removed course's files (its hole audio among them) go.
TEST_F(CourseRemoval, AnotherSpellingOfTheSharedFolderKeepsIt) {
    const std::string folder = Folder("Pair");
    const InstalledEntry first = AddCourse(folder, "First", "First");
    const InstalledEntry second =
        AddCourse(machine.GameInstallDir() + "\\COURSES\\/pair\\", "Second", "Second");
    machine.WriteFile(folder + "\\hole1.mp3", "x");
    Load();

    EXPECT_TRUE(Uninstall("First", folder, ANSWER_YES,
                          SharedFolderMessage("1 course(s) and 0 libraries", folder)));

    ExpectPresent(first, false);
    ExpectPresent(second, true);
    EXPECT_FALSE(machine.FileExists(folder + "\\hole1.mp3"));
}

// A course whose file lies directly in the courses folder takes only its own files.
TEST_F(CourseRemoval, TheCoursesFolderItselfIsNeverEmptied) {
    const std::string courses = machine.GameInstallDir() + "\\courses";
    const InstalledEntry loose = AddCourse(courses, "Loose", "Loose");
    machine.WriteFile(courses + "\\readme.txt", "x");
    Load();

    EXPECT_TRUE(Uninstall("Loose", courses, ANSWER_YES,
                          "The folder '" + courses +
                              "' holds the game's own folders or other content, and will not "
                              "be removed."));

    ExpectPresent(loose, false);
    EXPECT_TRUE(machine.FileExists(courses + "\\readme.txt"));
}

TEST_F(CourseRemoval, DecliningOrASourceFileThatAppearedSinceLoadingChangesNothing) {
    const InstalledEntry pine = AddCourse(Folder("Pine"), "Pine", "Pine");
    Load();
    EXPECT_FALSE(Uninstall("Pine", Folder("Pine"), ANSWER_NO));
    machine.WriteFile(Folder("Pine") + "\\Pine.tca", "x");
    ui.ExpectError(Containing("Parvane will not uninstall this\ncourse."));

    EXPECT_FALSE(UninstallCourse(GetInstalledCourses()[0]));

    ExpectPresent(pine, true);
}

TEST_F(CourseRemoval, FilesTheEntryNamesOutsideTheGameFolderAreKeptAndListed) {
    const std::string folder = Folder("Pine");
    InstalledEntry pine = AddCourse(folder, "Pine", "Pine");
    const std::string victim = machine.ScratchFolder() + "\\victim.jpg";
    machine.WriteFile(victim, "keep");
    machine.SetString(GAME_HIVE, EntryPath(GAME_COURSES_KEY, pine.key), "Picture", victim);
    Load();

    EXPECT_TRUE(Uninstall("Pine", folder, ANSWER_YES,
                          "'" + victim +
                              "' was kept: Parvane deletes files only inside the "
                              "game's folders."));

    EXPECT_EQ(machine.ReadFile(victim), "keep");
    EXPECT_FALSE(machine.FolderExists(folder));
}

}  // namespace
}  // namespace parvane::test
