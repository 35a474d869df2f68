#include <gtest/gtest.h>

#include "support/ForwardingMachine.h"
#include "uninstall/InstalledContent.h"
#include "uninstall/LibraryRemoval.h"

namespace parvane::test {
namespace {

// A *.tca turns up in the library's folder while the user answers the questions: the gate's
// search finds none, every later one finds one.
class SourceFileAppearsLater : public ForwardingMachine {
  public:
    Win32Error ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) override {
        if (pattern.ends_with("*.tca") && ++searches > 1) {
            entries = {{"late.tca", ATTR_ARCHIVE, 1}};
            return ERR_SUCCESS;
        }
        return ForwardingMachine::ListFolder(pattern, entries);
    }

  private:
    int searches = 0;
};

class LibraryRemoval : public InstalledContentTest {
  protected:
    const LibraryRecord& Library(std::uint32_t n) { return *FindLibrary(GuidToText(TestGuid(n))); }
    void ExpectConfirmation(std::uint32_t n, const std::string& folder, int answer) {
        ui.ExpectYesNo(DefaultButton::No,
                       "Are you sure you want to uninstall 'Lib " + std::to_string(n) +
                           "'\nfrom its location in '" + folder + "' ?",
                       answer);
    }
    void ExpectFolderWarning(const std::string& folder, int answer) {
        ui.ExpectYesNoCancel(DefaultButton::No,
                             Containing("Do you want to remove the folder " + folder +
                                        "\nand all its contents anyway?"),
                             answer);
    }
};

TEST_F(LibraryRemoval, UnusedLibraryAloneGoesWithItsFolder) {
    const std::string folder = Folder("Trees");
    const InstalledEntry library = AddLibrary(folder, 7);
    machine.WriteFile(folder + "\\readme.txt", "x");
    Load();
    ExpectConfirmation(7, folder, ANSWER_YES);

    EXPECT_TRUE(UninstallLibrary(Library(7)));

    ExpectPresent(library, false);
    EXPECT_FALSE(machine.FolderExists(folder));
}

TEST_F(LibraryRemoval, LibraryBesideACourseKeepsTheFolder) {
    const std::string folder = Folder("Pine");
    const InstalledEntry course = AddCourse(folder, "Pine", "Pine");
    const InstalledEntry library = AddLibrary(folder, 7);
    Load();
    ExpectConfirmation(7, folder, ANSWER_YES);
    ui.ExpectInformation(
        "There are 1 course(s) and 0 libraries\ninstalled in the same folder as "
        "the library you are uninstalling.\nThe folder '" +
        folder + "' will not be removed.");

    EXPECT_TRUE(UninstallLibrary(Library(7)));

    ExpectPresent(library, false);
    ExpectPresent(course, true);
}

TEST_F(LibraryRemoval, FolderThatChangedDuringTheQuestionsStaysWhenTheUserSaysNo) {
    const std::string folder = Folder("Trees");
    const InstalledEntry library = AddLibrary(folder, 7);
    machine.WriteFile(folder + "\\readme.txt", "x");
    Load();
    ExpectConfirmation(7, folder, ANSWER_YES);
    ExpectFolderWarning(folder, ANSWER_NO);

    SourceFileAppearsLater appearing;
    EXPECT_TRUE(UninstallLibrary(Library(7)));

    ExpectPresent(library, false);
    EXPECT_TRUE(machine.FileExists(folder + "\\readme.txt"));
}

TEST_F(LibraryRemoval, DecliningAnyQuestionChangesNothing) {
    const InstalledEntry unused = AddLibrary(Folder("Trees"), 7);
    const InstalledEntry used = AddLibrary(Folder("Rocks"), 8);
    const InstalledEntry course = AddCourse(Folder("Pine"), "Pine", "Pine", {8});
    Load();

    ExpectConfirmation(7, Folder("Trees"), ANSWER_NO);
    EXPECT_FALSE(UninstallLibrary(Library(7)));
    ExpectConfirmation(8, Folder("Rocks"), ANSWER_YES);
    ui.ExpectYesNo(DefaultButton::No, Containing("courses:\n\nPine\n\nUninstalling"), ANSWER_NO);
    EXPECT_FALSE(UninstallLibrary(Library(8)));
    ExpectConfirmation(7, Folder("Trees"), ANSWER_YES);
    ExpectFolderWarning(Folder("Trees"), ANSWER_CANCEL);
    {
        SourceFileAppearsLater appearing;
        EXPECT_FALSE(UninstallLibrary(Library(7)));
    }

    for (const InstalledEntry* entry : {&unused, &used, &course}) {
        ExpectPresent(*entry, true);
    }
}

struct UsersCase {
    int installed;
    int cloaked;
    std::size_t nameLength;
    const char* question;
};

class LibraryUsers : public LibraryRemoval, public ::testing::WithParamInterface<UsersCase> {};

TEST_P(LibraryUsers, CautionNamesTheFirstTenUsersEachOnItsOwnLine) {
    const UsersCase& users = GetParam();
    const InstalledEntry library = AddLibrary(Folder("Trees"), 50);
    std::vector<std::string> expected;
    for (int i = 1; i <= users.installed + users.cloaked; ++i) {
        std::string name = (i < 10 ? "Course 0" : "Course ") + std::to_string(i);
        name.resize(std::max(users.nameLength, name.size()), 'x');
        const bool cloaked = i > users.installed;
        AddCourse(Folder(name.substr(0, 9)), "C" + std::to_string(i), name, {50},
                  cloaked ? CLOAK_COURSES_KEY : GAME_COURSES_KEY);
        expected.push_back(name.substr(0, 9) + (cloaked ? " (Cloaked)" : ""));
    }
    Load();

    const parvane::LibraryUsers found = CollectLibraryUsers(Library(50));

    EXPECT_EQ(found.count, users.installed + users.cloaked);
    EXPECT_LE(found.list.size(), 1023u);
    std::size_t start = 0;
    for (std::size_t line = 0; line < std::min<std::size_t>(expected.size(), 10); ++line) {
        const std::size_t end = found.list.find('\n', start);
        ASSERT_NE(end, std::string::npos) << "line " << line;
        const std::string text = found.list.substr(start, end - start);
        EXPECT_EQ(text.substr(0, 9), expected[line].substr(0, 9));
        EXPECT_TRUE(text.ends_with(expected[line].substr(9))) << text;
        EXPECT_LT(text.size(), USER_LINE_LENGTH);
        EXPECT_EQ(text.find("...") != std::string::npos, users.nameLength > 0) << text;
        start = end + 1;
    }
    EXPECT_EQ(start, found.list.size());

    ExpectConfirmation(50, Folder("Trees"), ANSWER_YES);
    ui.ExpectYesNo(DefaultButton::No,
                   Containing(std::string("CAUTION: The library 'Lib 50' which you are about\nto "
                                          "uninstall is used by ") +
                              users.question + ":\n\n" + found.list + "\nUninstalling"),
                   ANSWER_NO);
    EXPECT_FALSE(UninstallLibrary(Library(50)));
    ExpectPresent(library, true);
}

INSTANTIATE_TEST_SUITE_P(Counts, LibraryUsers,
                         ::testing::Values(UsersCase{3, 1, 0, "the following courses"},
                                           UsersCase{10, 0, 0, "the following courses"},
                                           UsersCase{11, 1, 200,
                                                     "12 courses, where the first ten are"}));

}  // namespace
}  // namespace parvane::test
