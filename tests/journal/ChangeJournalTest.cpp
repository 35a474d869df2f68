// A change as the program's own records see it: what a completed installation leaves for
// verify and history, a failed one undone, and a start-up that cannot undo an interrupted one.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "analysis/PlacementCheck.h"
#include "base/RegistryRoots.h"
#include "base/StateFolder.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueLoading.h"
#include "journal/Change.h"
#include "journal/History.h"
#include "journal/Recovery.h"
#include "support/ContentFiles.h"
#include "support/FaultInjectingMachine.h"
#include "support/InstallFixture.h"
#include "uninstall/CourseRemoval.h"

namespace parvane {
namespace {

class ChangeJournalTest : public test::InstallTest {
  protected:
    std::string Lakeside() {
        return Package({{"Lakeside/Lakeside.tcr", test::CourseData("Lakeside", 1, {{2, "Trees"}})},
                        {"Lakeside/Trees.tcl", test::LibraryData("Trees", 2)},
                        {"Lakeside/hole1.mp3", "hole one"},
                        {"Lakeside/prv/tree.dds", "tree"}},
                       "Lakeside.zip");
    }
    std::string Journal() const { return StateFolder() + "\\change.journal"; }
    std::vector<std::string> HistoryTexts() {
        std::vector<HistoryLine> lines;
        EXPECT_TRUE(ReadHistory(TheMachine(), lines));
        std::vector<std::string> texts;
        for (const HistoryLine& line : lines)
            texts.push_back(line.kind + " " + line.name + " " + line.guidText + " " + line.archive +
                            " " + line.result);
        return texts;
    }
    static std::vector<std::string> KeptFolders(const std::string& temp) {
        std::vector<FolderEntry> entries;
        TheMachine().ListFolder(temp + "Parvane kept files*", entries);
        std::vector<std::string> names;
        for (const FolderEntry& entry : entries)
            names.push_back(entry.name);
        return names;
    }
};

TEST_F(ChangeJournalTest, VerifyFindsChangedAndMissingFilesOfTheRecord) {
    ASSERT_TRUE(Install(Lakeside()));
    ASSERT_TRUE(LoadCatalogue());
    std::vector<EntryCheck> checks = CheckPlacedFiles({});
    EXPECT_FALSE(AnyFileProblem(checks));
    EXPECT_EQ(
        PlacementCheckLines(checks),
        (std::vector<std::string>{"Lakeside " + GuidToText(test::TestGuid(1)) + ": ok, 3 files",
                                  "Trees " + GuidToText(test::TestGuid(2)) + ": ok, 1 file"}));

    machine.WriteFile(CourseFolder("Lakeside") + "\\hole1.mp3", "hole 1!!");
    machine.GetMachine().RemoveFile(CourseFolder("Lakeside") + "\\prv\\tree.dds");
    EXPECT_EQ(
        PlacementCheckSection(CheckPlacedFiles({})),
        "Installed files compared with the records of their installation:\r\n"
        "Lakeside " +
            GuidToText(test::TestGuid(1)) +
            ": 2 of 3 files missing or changed\r\n"
            "  changed  " +
            CourseFolder("Lakeside") +
            "\\hole1.mp3\r\n"
            "  missing  " +
            CourseFolder("Lakeside") +
            "\\prv\\tree.dds\r\n"
            "2 entries checked: 1 in order, 1 with missing or changed files, 0 without a record.");
    checks = CheckPlacedFiles({GuidToText(test::TestGuid(1))});
    EXPECT_TRUE(AnyFileProblem(checks));
    EXPECT_EQ(PlacementCheckLines(checks),
              (std::vector<std::string>{
                  "Lakeside " + GuidToText(test::TestGuid(1)) + ": 2 of 3 files missing or changed",
                  "  changed  " + CourseFolder("Lakeside") + "\\hole1.mp3",
                  "  missing  " + CourseFolder("Lakeside") + "\\prv\\tree.dds"}));
}

TEST_F(ChangeJournalTest, EntriesWithoutRecordsAndUninstalledOnesAreToldApart) {
    AddInstalledLibrary("Old", test::LibraryData("Old", 9));
    ASSERT_TRUE(Install(Lakeside()));
    ASSERT_TRUE(LoadCatalogue());
    ui.ExpectYesNo(DefaultButton::No, Containing("Are you sure"), ANSWER_YES);
    ui.ExpectInformation(Containing("will not be removed"));
    ASSERT_TRUE(UninstallCourse(*FindCourse(GuidToText(test::TestGuid(1)))));
    ASSERT_TRUE(LoadCatalogue());
    EXPECT_EQ(
        PlacementCheckLines(CheckPlacedFiles({})),
        (std::vector<std::string>{"Old " + GuidToText(test::TestGuid(9)) + ": no record",
                                  "Trees " + GuidToText(test::TestGuid(2)) + ": ok, 1 file"}));
}

TEST_F(ChangeJournalTest, HistoryHasEveryEntryOfEachChange) {
    ASSERT_TRUE(Install(Lakeside()));
    ASSERT_TRUE(Install(Package({{"Rocks.tcl", test::LibraryData("Rocks", 3)}}, "Rocks.zip")));
    ASSERT_TRUE(LoadCatalogue());
    ui.ExpectYesNo(DefaultButton::No, Containing("Are you sure"), ANSWER_YES);
    ui.ExpectInformation(Containing("will not be removed"));
    ASSERT_TRUE(UninstallCourse(*FindCourse(GuidToText(test::TestGuid(1)))));
    const std::string lakeside = GuidToText(test::TestGuid(1));
    EXPECT_EQ(HistoryTexts(),
              (std::vector<std::string>{
                  "install Lakeside " + lakeside + " Lakeside.zip completed",
                  "install Trees " + GuidToText(test::TestGuid(2)) + " Lakeside.zip completed",
                  "install Rocks " + GuidToText(test::TestGuid(3)) + " Rocks.zip completed",
                  "uninstall Lakeside " + lakeside + " Lakeside.zip completed"}));
}

// A failure part-way undoes the files placed before it, and the course is not registered.
TEST_F(ChangeJournalTest, AFailedInstallationIsUndone) {
    machine.MakeFolders(CourseFolder("Lakeside") + "\\hole1.mp3");
    ui.ExpectError(Containing("exists and is a directory"));
    EXPECT_FALSE(Install(Lakeside()));
    EXPECT_EQ(test::FilesBelow(GameDir()), std::vector<std::string>{});
    EXPECT_EQ(RegistryValue(GAME_COURSES_KEY, 1), "(none)");
    EXPECT_FALSE(machine.FileExists(Journal()));
    EXPECT_EQ(HistoryTexts(), (std::vector<std::string>{"install Lakeside - Lakeside.zip "
                                                        "not completed, undone"}));
}

// A kept file gone: the start-up says what it cannot restore and where, and touches nothing.
TEST_F(ChangeJournalTest, AnUndoThatCannotFinishKeepsTheJournalAndTouchesNothing) {
    const std::string old = GameDir() + "\\old.txt", made = GameDir() + "\\made.txt";
    std::string temp;
    TheMachine().TempPath(temp);
    // Under wine the temporary folder is the suite's prefix's, where other programs keep files too.
    const std::vector<std::string> keptBefore = KeptFolders(temp);
    machine.WriteFile(old, "old");
    machine.WriteFile(Scratch() + "\\new.txt", "new");
    {
        test::FaultInjectingMachine faults;
        ASSERT_TRUE(BeginChange(ChangeKind::Uninstall, "Lakeside", {}));
        ASSERT_EQ(TheMachine().RemoveFile(old), ERR_SUCCESS);
        ASSERT_EQ(TheMachine().CopyFileOver(Scratch() + "\\new.txt", made), ERR_SUCCESS);
        faults.Inject({.kills = true});
        ui.ExpectError(Containing("could not be undone completely"));
        EndChange(true);
    }
    std::vector<std::string> kept = KeptFolders(temp);
    std::erase_if(kept,
                  [&](const std::string& name) { return std::ranges::count(keptBefore, name); });
    ASSERT_EQ(kept.size(), 1u);
    const std::string keptFolder = temp + kept.front();
    ASSERT_EQ(test::FilesBelow(keptFolder).size(), 1u);
    machine.GetMachine().RemoveFile(keptFolder + "\\" + test::FilesBelow(keptFolder).front());

    ui.ExpectError(Containing("'" + old + "': its kept copy '" + keptFolder));
    EXPECT_FALSE(RecoverInterruptedChange());
    EXPECT_TRUE(machine.FileExists(Journal()));
    EXPECT_EQ(machine.ReadFile(made), "new");
    EXPECT_TRUE(machine.FolderExists(keptFolder));
    ui.ExpectError(Containing("is still in"));
    EXPECT_FALSE(BeginChange(ChangeKind::Install, "Other", {}));
    TheMachine().RemoveEmptyFolder(keptFolder);  // the temporary folder outlives the test
}

}  // namespace
}  // namespace parvane
