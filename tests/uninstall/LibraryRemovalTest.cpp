#include <gtest/gtest.h>

#include "catalogue/StockContent.h"
#include "support/FaultInjectingMachine.h"
#include "uninstall/InstalledContent.h"
#include "uninstall/LibraryRemoval.h"

namespace parvane::test {
namespace {

// A *.tca turns up in the library's folder while the user answers the questions: the gate's
// search finds none, every later one cannot tell, which counts as finding one.
struct SourceFileAppearsLater : FaultInjectingMachine {
    SourceFileAppearsLater() {
        Inject({.call = MachineCall::ListFolder,
                .first = 2,
                .count = EVERY_CALL,
                .pathPart = "*.tca",
                .error = ERR_ACCESS_DENIED});
    }
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

TEST_F(LibraryRemoval, FolderGoesUnlessACourseIsThereOrTheUserKeepsIt) {
    const InstalledEntry alone = AddLibrary(Folder("Trees"), 7);
    const InstalledEntry course = AddCourse(Folder("Pine"), "Pine", "Pine");
    const InstalledEntry beside = AddLibrary(Folder("Pine"), 8);
    const InstalledEntry kept = AddLibrary(Folder("Rocks"), 9);
    for (const char* folder : {"Trees", "Rocks"})
        machine.WriteFile(Folder(folder) + "\\readme.txt", "x");
    Load();
    ExpectConfirmation(7, Folder("Trees"), ANSWER_YES);
    ExpectConfirmation(8, Folder("Pine"), ANSWER_YES);
    ui.ExpectInformation(
        "There are 1 course(s) and 0 libraries\ninstalled in the same folder as "
        "the library you are uninstalling.\nThe folder '" +
        Folder("Pine") + "' will not be removed.");
    ExpectConfirmation(9, Folder("Rocks"), ANSWER_YES);
    ExpectFolderWarning(Folder("Rocks"), ANSWER_NO);  // the folder changed meanwhile

    EXPECT_TRUE(UninstallLibrary(Library(7)));
    EXPECT_TRUE(UninstallLibrary(Library(8)));
    SourceFileAppearsLater appearing;
    EXPECT_TRUE(UninstallLibrary(Library(9)));

    for (const InstalledEntry* entry : {&alone, &beside, &kept})
        ExpectPresent(*entry, false);
    EXPECT_FALSE(machine.FolderExists(Folder("Trees")));
    EXPECT_TRUE(machine.FileExists(Folder("Rocks") + "\\readme.txt"));
    ExpectPresent(course, true);
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

    for (const InstalledEntry* entry : {&unused, &used, &course})
        ExpectPresent(*entry, true);
}

TEST_F(LibraryRemoval, TheGamesOwnLibraryIsAskedAboutOnceMoreWithNoTheDefault) {
    const std::string folder = Folder("Stock");
    const std::string path = folder + "\\Stock.tcl";
    machine.MakeFolders(folder);
    machine.WriteFile(path, "x");
    const InstalledEntry stock{GAME_LIBRARIES_KEY, std::string(StockLibraryGuids[0]), {path}};
    AddEntry(GAME_LIBRARIES_KEY, stock.key, {{"Name", "Stock"}, {"Filename", path}});
    Load();
    const std::string confirmation =
        "Are you sure you want to uninstall 'Stock'\nfrom its location in '" + folder + "' ?";
    const std::string ownLibrary = "'Stock' is one of the game's own libraries.";

    ui.ExpectYesNo(DefaultButton::No, confirmation, ANSWER_YES);
    ui.ExpectYesNo(DefaultButton::No, Containing(ownLibrary), ANSWER_NO);
    EXPECT_FALSE(UninstallLibrary(*FindLibrary(stock.key)));
    ExpectPresent(stock, true);
    ui.ExpectYesNo(DefaultButton::No, confirmation, ANSWER_YES);
    ui.ExpectYesNo(DefaultButton::No, Containing(ownLibrary), ANSWER_YES);
    EXPECT_TRUE(UninstallLibrary(*FindLibrary(stock.key)));
    ExpectPresent(stock, false);
}

struct UsersCase {
    int installed;
    int cloaked;
    std::size_t padding;  // added to each name
    const char* question;
};

class LibraryUsers : public LibraryRemoval, public ::testing::WithParamInterface<UsersCase> {};

TEST_P(LibraryUsers, CautionNamesTheFirstTenUsersEachOnItsOwnLine) {
    const UsersCase& users = GetParam();
    const InstalledEntry library = AddLibrary(Folder("Trees"), 50);
    std::string expected;  // without the padding
    for (int i = 1; i <= users.installed + users.cloaked; ++i) {
        const std::string id = (i < 10 ? "Course 0" : "Course ") + std::to_string(i);
        const bool cloaked = i > users.installed;
        AddCourse(Folder(id), "C" + std::to_string(i), id + std::string(users.padding, 'x'), {50},
                  cloaked ? CLOAK_COURSES_KEY : GAME_COURSES_KEY);
        expected += i <= 10 ? id + (cloaked ? " (Cloaked)\n" : "\n") : "";
    }
    Load();

    const parvane::LibraryUsers found = CollectLibraryUsers(Library(50));

    EXPECT_EQ(found.count, users.installed + users.cloaked);
    std::string shown = found.list;
    std::erase_if(shown, [](char c) { return c == 'x' || c == '.'; });
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(found.list.find("...") != std::string::npos, users.padding > 0);
    EXPECT_LE(found.list.size(), 1023u);

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
                                           UsersCase{11, 1, 240,
                                                     "12 courses, where the first ten are"}),
                         [](const auto& instance) {
                             const UsersCase& users = instance.param;
                             return std::to_string(users.installed + users.cloaked) + "Users";
                         });

}  // namespace
}  // namespace parvane::test
