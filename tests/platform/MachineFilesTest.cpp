// The file and folder calls of the machine answer as Windows does, on every backend.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Machine.h"
#include "support/KnownGaps.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

using test::TestMachine;

class MachineFiles : public ::testing::Test {
  protected:
    std::string InScratch(const std::string& name) { return scratch + "\\" + name; }

    std::vector<std::string> ListedNames(const std::string& pattern, Win32Error& error) {
        std::vector<FolderEntry> entries;
        error = TheMachine().ListFolder(pattern, entries);
        std::vector<std::string> names;
        for (const FolderEntry& entry : entries) {
            names.push_back(entry.name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TestMachine machine;
    const std::string scratch = machine.ScratchFolder();
};

TEST_F(MachineFiles, MissingFileAndMissingFolderGiveTwoAndThree) {
    std::uint32_t attributes = 0;
    EXPECT_EQ(TheMachine().GetAttributes(InScratch("absent.tcr"), attributes), ERR_FILE_NOT_FOUND);
    EXPECT_EQ(TheMachine().GetAttributes(InScratch("absent\\x.tcr"), attributes),
              ERR_PATH_NOT_FOUND);
    EXPECT_EQ(TheMachine().RemoveFile(InScratch("absent.tcr")), ERR_FILE_NOT_FOUND);
    EXPECT_EQ(TheMachine().RemoveFile(InScratch("absent\\x.tcr")), ERR_PATH_NOT_FOUND);
    EXPECT_EQ(TheMachine().MakeFolder(InScratch("absent\\child")), ERR_PATH_NOT_FOUND);
    EXPECT_EQ(TheMachine().CopyFileOver(InScratch("absent.tcr"), InScratch("copy.tcr")),
              ERR_FILE_NOT_FOUND);
    EXPECT_EQ(TheMachine().MoveFileTo(InScratch("absent.tcr"), InScratch("moved.tcr")),
              ERR_FILE_NOT_FOUND);
}

TEST_F(MachineFiles, AttributesTellFoldersFromFilesAndShowReadOnly) {
    machine.WriteFile(InScratch("a.tcr"), "x");
    std::uint32_t attributes = 0;
    ASSERT_EQ(TheMachine().GetAttributes(scratch, attributes), ERR_SUCCESS);
    EXPECT_NE(attributes & ATTR_DIRECTORY, 0u);
    ASSERT_EQ(TheMachine().GetAttributes(InScratch("a.tcr"), attributes), ERR_SUCCESS);
    EXPECT_EQ(attributes & (ATTR_DIRECTORY | ATTR_READONLY), 0u);
    machine.SetReadOnly(InScratch("a.tcr"), true);
    ASSERT_EQ(TheMachine().GetAttributes(InScratch("a.tcr"), attributes), ERR_SUCCESS);
    EXPECT_NE(attributes & ATTR_READONLY, 0u);
}

TEST_F(MachineFiles, PathsIgnoreCaseAndAcceptBothSeparators) {
    machine.WriteFile(InScratch("Course.TCR"), "x");
    std::uint32_t attributes = 0;
    EXPECT_EQ(TheMachine().GetAttributes(InScratch("course.tcr"), attributes), ERR_SUCCESS);
    EXPECT_EQ(TheMachine().GetAttributes(scratch + "/COURSE.tcr", attributes), ERR_SUCCESS);
}

TEST_F(MachineFiles, MakeFolderRefusesAnyExistingName) {
    machine.WriteFile(InScratch("taken"), "x");
    EXPECT_EQ(TheMachine().MakeFolder(InScratch("taken")), ERR_ALREADY_EXISTS);
    ASSERT_EQ(TheMachine().MakeFolder(InScratch("New")), ERR_SUCCESS);
    EXPECT_EQ(TheMachine().MakeFolder(InScratch("new")), ERR_ALREADY_EXISTS);
    EXPECT_EQ(TheMachine().MakeFolder(InScratch("New\\")), ERR_ALREADY_EXISTS);
}

TEST_F(MachineFiles, RemoveFileRefusesFoldersAndReadOnlyFiles) {
    machine.MakeFolders(InScratch("folder"));
    EXPECT_EQ(TheMachine().RemoveFile(InScratch("folder")), ERR_ACCESS_DENIED);
    machine.WriteFile(InScratch("locked.tcl"), "x");
    machine.SetReadOnly(InScratch("locked.tcl"), true);
    EXPECT_EQ(TheMachine().RemoveFile(InScratch("locked.tcl")), ERR_ACCESS_DENIED);
    EXPECT_TRUE(machine.FileExists(InScratch("locked.tcl")));
    machine.SetReadOnly(InScratch("locked.tcl"), false);
    EXPECT_EQ(TheMachine().RemoveFile(InScratch("LOCKED.TCL")), ERR_SUCCESS);
    EXPECT_FALSE(machine.FileExists(InScratch("locked.tcl")));
}

TEST_F(MachineFiles, RemoveEmptyFolderRefusesAFolderWithContent) {
    machine.WriteFile(InScratch("full\\file.txt"), "x");
    EXPECT_EQ(TheMachine().RemoveEmptyFolder(InScratch("full")), ERR_DIR_NOT_EMPTY);
    ASSERT_EQ(TheMachine().RemoveFile(InScratch("full\\file.txt")), ERR_SUCCESS);
    EXPECT_EQ(TheMachine().RemoveEmptyFolder(InScratch("FULL")), ERR_SUCCESS);
    EXPECT_FALSE(machine.FolderExists(InScratch("full")));
    EXPECT_EQ(TheMachine().RemoveEmptyFolder(InScratch("full")), ERR_FILE_NOT_FOUND);
}

TEST_F(MachineFiles, CopyOverwritesAnExistingTarget) {
    machine.WriteFile(InScratch("source.tcr"), "new contents");
    machine.WriteFile(InScratch("target.tcr"), "old");
    ASSERT_EQ(TheMachine().CopyFileOver(InScratch("source.tcr"), InScratch("TARGET.tcr")),
              ERR_SUCCESS);
    EXPECT_EQ(machine.ReadFile(InScratch("target.tcr")), "new contents");
    EXPECT_EQ(machine.ReadFile(InScratch("source.tcr")), "new contents");
}

TEST_F(MachineFiles, CopyDoesNotOverwriteAReadOnlyTarget) {
    PARVANE_SKIP_IF_KNOWN_GAP();
    machine.WriteFile(InScratch("source.tcr"), "new contents");
    machine.WriteFile(InScratch("kept.tcr"), "kept");
    machine.SetReadOnly(InScratch("kept.tcr"), true);
    EXPECT_EQ(TheMachine().CopyFileOver(InScratch("source.tcr"), InScratch("kept.tcr")),
              ERR_ACCESS_DENIED);
    EXPECT_EQ(machine.ReadFile(InScratch("kept.tcr")), "kept");
}

TEST_F(MachineFiles, CopyIntoAMissingFolderGivesThree) {
    machine.WriteFile(InScratch("source.tcr"), "x");
    EXPECT_EQ(TheMachine().CopyFileOver(InScratch("source.tcr"), InScratch("no\\such.tcr")),
              ERR_PATH_NOT_FOUND);
}

TEST_F(MachineFiles, MoveNeverReplacesAnExistingFile) {
    machine.WriteFile(InScratch("first.tcl"), "first");
    machine.WriteFile(InScratch("second.tcl"), "second");
    EXPECT_EQ(TheMachine().MoveFileTo(InScratch("first.tcl"), InScratch("SECOND.TCL")),
              ERR_ALREADY_EXISTS);
    EXPECT_EQ(machine.ReadFile(InScratch("first.tcl")), "first");
    EXPECT_EQ(machine.ReadFile(InScratch("second.tcl")), "second");

    ASSERT_EQ(TheMachine().MoveFileTo(InScratch("first.tcl"), InScratch("third.tcl")), ERR_SUCCESS);
    EXPECT_FALSE(machine.FileExists(InScratch("first.tcl")));
    EXPECT_EQ(machine.ReadFile(InScratch("third.tcl")), "first");
}

TEST_F(MachineFiles, MoveMayChangeOnlyTheCaseOfAName) {
    PARVANE_SKIP_IF_KNOWN_GAP();
    machine.WriteFile(InScratch("links.tcr"), "x");
    ASSERT_EQ(TheMachine().MoveFileTo(InScratch("links.tcr"), InScratch("Links.TCR")), ERR_SUCCESS);
    Win32Error error = ERR_SUCCESS;
    EXPECT_EQ(ListedNames(InScratch("*.tcr"), error), std::vector<std::string>{"Links.TCR"});
}

TEST_F(MachineFiles, StarDotStarMatchesNamesWithoutADot) {
    machine.WriteFile(InScratch("README"), "x");
    machine.WriteFile(InScratch("course.tcr"), "x");
    machine.MakeFolders(InScratch("sounds"));
    Win32Error error = ERR_SUCCESS;
    const std::vector<std::string> expected = {".", "..", "README", "course.tcr", "sounds"};
    EXPECT_EQ(ListedNames(InScratch("*.*"), error), expected);
    EXPECT_EQ(error, ERR_SUCCESS);
}

TEST_F(MachineFiles, WildcardsIgnoreCase) {
    machine.WriteFile(InScratch("Hole.TCA"), "x");
    machine.WriteFile(InScratch("hole.tcr"), "x");
    Win32Error error = ERR_SUCCESS;
    EXPECT_EQ(ListedNames(InScratch("*.tca"), error), std::vector<std::string>{"Hole.TCA"});
    EXPECT_EQ(ListedNames(InScratch("HOLE.T?R"), error), std::vector<std::string>{"hole.tcr"});
}

TEST_F(MachineFiles, ListingWithoutMatchGivesTwoAndInAMissingFolderThree) {
    machine.WriteFile(InScratch("course.tcr"), "x");
    Win32Error error = ERR_SUCCESS;
    EXPECT_TRUE(ListedNames(InScratch("*.tlb"), error).empty());
    EXPECT_EQ(error, ERR_FILE_NOT_FOUND);
    EXPECT_TRUE(ListedNames(InScratch("absent\\*.*"), error).empty());
    EXPECT_EQ(error, ERR_PATH_NOT_FOUND);
}

TEST_F(MachineFiles, ListingReportsFoldersAndSizes) {
    machine.WriteFile(InScratch("five.bin"), "12345");
    machine.MakeFolders(InScratch("sub"));
    std::vector<FolderEntry> entries;
    ASSERT_EQ(TheMachine().ListFolder(InScratch("*"), entries), ERR_SUCCESS);
    for (const FolderEntry& entry : entries) {
        if (entry.name == "five.bin") {
            EXPECT_EQ(entry.size, 5u);
            EXPECT_EQ(entry.attributes & ATTR_DIRECTORY, 0u);
        } else {
            EXPECT_NE(entry.attributes & ATTR_DIRECTORY, 0u) << entry.name;
        }
    }
    EXPECT_EQ(entries.size(), 4u);
}

TEST_F(MachineFiles, LongPathNameNeedsAnExistingPath) {
    machine.WriteFile(InScratch("Deep\\File.tcr"), "x");
    std::string longPath;
    ASSERT_EQ(TheMachine().LongPathName(InScratch("deep\\file.tcr"), longPath), ERR_SUCCESS);
    EXPECT_EQ(longPath.size(), InScratch("deep\\file.tcr").size());
    EXPECT_EQ(TheMachine().LongPathName(InScratch("deep\\none.tcr"), longPath), ERR_FILE_NOT_FOUND);
    EXPECT_EQ(TheMachine().LongPathName(InScratch("none\\none.tcr"), longPath), ERR_FILE_NOT_FOUND);
}

TEST_F(MachineFiles, TempPathIsAFolderEndingInABackslash) {
    std::string folder;
    ASSERT_EQ(TheMachine().TempPath(folder), ERR_SUCCESS);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_TRUE(machine.FolderExists(folder));
}

TEST_F(MachineFiles, UniqueTempFileCreatesANewEmptyFileEachTime) {
    std::string first;
    std::string second;
    ASSERT_EQ(TheMachine().UniqueTempFile(scratch, "PRVX", first), ERR_SUCCESS);
    ASSERT_EQ(TheMachine().UniqueTempFile(scratch + "\\", "PRV", second), ERR_SUCCESS);
    EXPECT_NE(first, second);
    for (const std::string& path : {first, second}) {
        const std::string name = path.substr(scratch.size() + 1);
        EXPECT_EQ(name.substr(0, 3), "PRV") << path;
        EXPECT_EQ(name.substr(name.size() - 4), ".tmp") << path;
        const std::string number = name.substr(3, name.size() - 7);
        EXPECT_FALSE(number.empty()) << path;
        EXPECT_EQ(number.find_first_not_of("0123456789ABCDEFabcdef"), std::string::npos) << path;
        EXPECT_EQ(machine.ReadFile(path), "");
    }
}

TEST_F(MachineFiles, UniqueTempFileNumbersAreUpperCaseHex) {
    PARVANE_SKIP_IF_KNOWN_GAP();
    // Several names, so that one of them almost surely holds a letter.
    for (int i = 0; i < 8; ++i) {
        std::string path;
        ASSERT_EQ(TheMachine().UniqueTempFile(scratch, "PRV", path), ERR_SUCCESS);
        const std::string number =
            path.substr(scratch.size() + 4, path.size() - scratch.size() - 8);
        EXPECT_EQ(number.find_first_not_of("0123456789ABCDEF"), std::string::npos) << path;
    }
}

TEST_F(MachineFiles, OpenFileAnswersAsTheRuntimeDoes) {
    Win32Error error = ERR_SUCCESS;
    EXPECT_EQ(TheMachine().OpenFile(InScratch("absent.bin"), FileMode::Read, error), nullptr);
    EXPECT_EQ(error, ERR_FILE_NOT_FOUND);
    EXPECT_EQ(TheMachine().OpenFile(InScratch("absent\\new.bin"), FileMode::Write, error), nullptr);
    EXPECT_EQ(error, ERR_PATH_NOT_FOUND);
    EXPECT_EQ(TheMachine().OpenFile(scratch, FileMode::Read, error), nullptr);
    EXPECT_EQ(error, ERR_ACCESS_DENIED);
}

TEST_F(MachineFiles, OpenFileForWritingRefusesAReadOnlyFile) {
    PARVANE_SKIP_IF_KNOWN_GAP();
    Win32Error error = ERR_SUCCESS;
    machine.WriteFile(InScratch("locked.bin"), "x");
    machine.SetReadOnly(InScratch("locked.bin"), true);
    EXPECT_EQ(TheMachine().OpenFile(InScratch("locked.bin"), FileMode::Write, error), nullptr);
    EXPECT_EQ(error, ERR_ACCESS_DENIED);
}

TEST_F(MachineFiles, FileStreamSeeksAndTells) {
    machine.WriteFile(InScratch("data.bin"), "0123456789");
    Win32Error error = ERR_SUCCESS;
    auto file = TheMachine().OpenFile(InScratch("data.bin"), FileMode::Read, error);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(file->Seek(-3, 2), ERR_SUCCESS);
    EXPECT_EQ(file->Tell(), 7);
    char buffer[8] = {};
    EXPECT_EQ(file->Read(buffer, sizeof buffer), 3u);
    EXPECT_EQ(std::string(buffer, 3), "789");
    EXPECT_EQ(file->Error(), ERR_SUCCESS);
    EXPECT_EQ(file->Close(), ERR_SUCCESS);
}

TEST_F(MachineFiles, FreeDiskSpaceIsReported) {
    std::uint64_t bytes = 0;
    ASSERT_EQ(TheMachine().FreeDiskSpace(scratch, bytes), ERR_SUCCESS);
    EXPECT_GT(bytes, 0u);
}

}  // namespace
}  // namespace parvane
