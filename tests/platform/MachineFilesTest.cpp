// The file and folder calls of the machine answer as Windows does, on every backend.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/AsciiCase.h"
#include "platform/Machine.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

using test::TestMachine;

class MachineFiles : public ::testing::Test {
  protected:
    std::string InScratch(const std::string& name) { return scratch + "\\" + name; }

    std::vector<std::string> ListedNames(const std::string& pattern, Win32Error& error) {
        std::vector<FolderEntry> entries;
        error = TheMachine().ListFolder(InScratch(pattern), entries);
        std::vector<std::string> names;
        for (const FolderEntry& entry : entries) {
            names.push_back(entry.name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TestMachine machine;
    Machine& seam = TheMachine();
    const std::string scratch = machine.ScratchFolder();
};

TEST_F(MachineFiles, MissingFileGivesTwoAndMissingFolderThree) {
    Win32Error error = ERR_SUCCESS;
    const struct {
        const char* what;
        Win32Error status;
        Win32Error expected;
    } cases[] = {
        {"remove", seam.RemoveFile(InScratch("absent.tcr")), ERR_FILE_NOT_FOUND},
        {"make folder", seam.MakeFolder(InScratch("absent\\child")), ERR_PATH_NOT_FOUND},
        {"open", (seam.OpenFile(InScratch("absent.bin"), FileMode::Read, error), error),
         ERR_FILE_NOT_FOUND},
        {"open a folder", (seam.OpenFile(scratch, FileMode::Read, error), error),
         ERR_ACCESS_DENIED},
    };
    for (const auto& item : cases) {
        EXPECT_EQ(item.status, item.expected) << item.what;
    }
}

// Many files, as a catalogue load reads them: each answer in its place, the errors as OpenFile
// gives them, the size and time as GetFileStatus gives them.
TEST_F(MachineFiles, FileStartsAreReadTogetherAsOneByOne) {
    std::vector<std::string> paths = {InScratch("absent.tcl"), scratch, InScratch("short.tcl")};
    machine.WriteFile(paths[2], "short");
    for (int n = 0; n < 100; ++n) {
        paths.push_back(InScratch(std::to_string(n) + ".tcl"));
        machine.WriteFile(paths.back(), std::string(90, static_cast<char>('A' + n % 26)));
    }
    constexpr std::uint64_t TIME = 132223104000000000;  // 2020-01-01
    machine.SetModifiedTime(paths[3], TIME);
    std::vector<FileStart> starts;
    seam.ReadFileStarts(paths, 80, starts);
    ASSERT_EQ(starts.size(), paths.size());
    EXPECT_EQ(starts[0].error, ERR_FILE_NOT_FOUND);
    EXPECT_EQ(starts[1].error, ERR_ACCESS_DENIED);
    EXPECT_EQ(starts[2].bytes, "short");
    for (std::size_t n = 0; n < 100; ++n) {
        EXPECT_EQ(starts[3 + n].bytes, std::string(80, static_cast<char>('A' + n % 26)));
        EXPECT_EQ(starts[3 + n].error, ERR_SUCCESS);
        EXPECT_EQ(starts[3 + n].status.size, 90u);
    }
    EXPECT_EQ(starts[3].status.modified, TIME);

    FileStatus status;
    ASSERT_EQ(seam.GetFileStatus(paths[3], status), ERR_SUCCESS);
    EXPECT_EQ(status.size, 90u);
    EXPECT_EQ(status.modified, TIME);
    EXPECT_EQ(status.attributes & ATTR_DIRECTORY, 0u);
    EXPECT_EQ(seam.GetFileStatus(paths[0], status), ERR_FILE_NOT_FOUND);
}

TEST_F(MachineFiles, RemovalRefusesFoldersReadOnlyFilesAndFoldersWithContent) {
    machine.WriteFile(InScratch("full\\locked.tcl"), "x");
    machine.SetReadOnly(InScratch("full\\locked.tcl"), true);
    EXPECT_EQ(seam.RemoveFile(InScratch("full")), ERR_ACCESS_DENIED);
    EXPECT_EQ(seam.RemoveFile(InScratch("full\\locked.tcl")), ERR_ACCESS_DENIED);
    EXPECT_EQ(seam.RemoveEmptyFolder(InScratch("full")), ERR_DIR_NOT_EMPTY);
    EXPECT_TRUE(machine.FileExists(InScratch("full\\locked.tcl")));

    machine.SetReadOnly(InScratch("full\\locked.tcl"), false);
    EXPECT_EQ(seam.RemoveFile(InScratch("FULL\\LOCKED.TCL")), ERR_SUCCESS);
    EXPECT_EQ(seam.RemoveEmptyFolder(InScratch("FULL")), ERR_SUCCESS);
    EXPECT_FALSE(machine.FolderExists(InScratch("full")));
    EXPECT_EQ(seam.RemoveEmptyFolder(InScratch("full")), ERR_FILE_NOT_FOUND);
}

TEST_F(MachineFiles, OnlyCopyAndMoveOverReplaceAFileAndNeverAFolder) {
    machine.WriteFile(InScratch("new.tmp"), "new");
    machine.WriteFile(InScratch("target.tcr"), "old");
    EXPECT_EQ(seam.MoveFileTo(InScratch("new.tmp"), InScratch("TARGET.TCR")), ERR_ALREADY_EXISTS);
    EXPECT_EQ(machine.ReadFile(InScratch("target.tcr")), "old");
    ASSERT_EQ(seam.CopyFileOver(InScratch("new.tmp"), InScratch("Target.TCR")), ERR_SUCCESS);
    EXPECT_EQ(machine.ReadFile(InScratch("target.tcr")), "new");
    machine.WriteFile(InScratch("target.tcr"), "old");
    ASSERT_EQ(seam.MoveFileOver(InScratch("new.tmp"), InScratch("TARGET.tcr")), ERR_SUCCESS);
    EXPECT_FALSE(machine.FileExists(InScratch("new.tmp")));
    EXPECT_EQ(machine.ReadFile(InScratch("target.tcr")), "new");

    machine.MakeFolders(InScratch("folder"));
    EXPECT_EQ(seam.MoveFileOver(InScratch("target.tcr"), InScratch("folder")), ERR_ACCESS_DENIED);
    EXPECT_TRUE(machine.FolderExists(InScratch("folder")));
    ASSERT_EQ(seam.MoveFileTo(InScratch("target.tcr"), InScratch("moved.tcr")), ERR_SUCCESS);
    EXPECT_EQ(machine.ReadFile(InScratch("moved.tcr")), "new");
}

// Whatever a backend keeps of the folders it has read, each change made through the machine
// is seen at once, by names in any case.
TEST_F(MachineFiles, EachChangeIsSeenAtOnceUnderAnyCase) {
    Win32Error error = ERR_SUCCESS;
    std::uint32_t attributes = 0;
    std::string longPath;
    const auto opens = [&](const std::string& name) {
        return seam.OpenFile(InScratch(name), FileMode::Read, error) != nullptr;
    };
    EXPECT_EQ((ListedNames("PACK\\*.*", error), error), ERR_PATH_NOT_FOUND);
    ASSERT_EQ(seam.MakeFolder(InScratch("Pack")), ERR_SUCCESS);
    EXPECT_EQ(ListedNames("pack\\*.*", error), (std::vector<std::string>{".", ".."}));
    machine.WriteFile(InScratch("Pack\\Trees.tcl"), "x");
    EXPECT_EQ(seam.GetAttributes(InScratch("PACK\\TREES.TCL"), attributes), ERR_SUCCESS);
    EXPECT_EQ(ListedNames("pack\\*.TCL", error), std::vector<std::string>{"Trees.tcl"});
    ASSERT_EQ(seam.CopyFileOver(InScratch("pack\\trees.tcl"), InScratch("Pack\\Rocks.tcl")),
              ERR_SUCCESS);
    EXPECT_TRUE(opens("PACK\\rocks.TCL"));
    ASSERT_EQ(seam.MoveFileTo(InScratch("PACK\\ROCKS.TCL"), InScratch("Pack\\Bushes.tcl")),
              ERR_SUCCESS);
    EXPECT_FALSE(opens("pack\\Rocks.tcl"));
    ASSERT_EQ(seam.MoveFileOver(InScratch("pack\\bushes.tcl"), InScratch("PACK\\TREES.TCL")),
              ERR_SUCCESS);
    EXPECT_EQ(seam.GetAttributes(InScratch("Pack\\BUSHES.tcl"), attributes), ERR_FILE_NOT_FOUND);
    ASSERT_EQ(seam.RemoveFile(InScratch("pack\\trees.TCL")), ERR_SUCCESS);
    EXPECT_FALSE(opens("Pack\\Trees.tcl"));
    EXPECT_EQ(error, ERR_FILE_NOT_FOUND);
    EXPECT_EQ(seam.LongPathName(InScratch("pack\\TREES.tcl"), longPath), ERR_FILE_NOT_FOUND);
    ASSERT_EQ(seam.RemoveEmptyFolder(InScratch("PACK")), ERR_SUCCESS);
    EXPECT_EQ(seam.GetAttributes(InScratch("pack"), attributes), ERR_FILE_NOT_FOUND);
    EXPECT_EQ((ListedNames("Pack\\*.*", error), error), ERR_PATH_NOT_FOUND);
}

TEST_F(MachineFiles, ReadOnlyFilesAreNotOverwritten) {
    machine.WriteFile(InScratch("new.tmp"), "new");
    machine.WriteFile(InScratch("kept.tcr"), "kept");
    machine.SetReadOnly(InScratch("kept.tcr"), true);
    EXPECT_EQ(seam.CopyFileOver(InScratch("new.tmp"), InScratch("kept.tcr")), ERR_ACCESS_DENIED);
    EXPECT_EQ(seam.MoveFileOver(InScratch("new.tmp"), InScratch("kept.tcr")), ERR_ACCESS_DENIED);
    Win32Error error = ERR_SUCCESS;
    EXPECT_EQ(seam.OpenFile(InScratch("kept.tcr"), FileMode::Write, error), nullptr);
    EXPECT_EQ(error, ERR_ACCESS_DENIED);
    EXPECT_EQ(machine.ReadFile(InScratch("kept.tcr")), "kept");
}

TEST_F(MachineFiles, ModulePathAndProcessListNameTheRunningProgram) {
    std::string path;
    ASSERT_EQ(seam.ModulePath(path), ERR_SUCCESS);
    const std::string image = path.substr(path.find_last_of('\\') + 1);
    EXPECT_EQ(image.rfind("parvane-platform-tests", 0), 0u) << path;
    // A host program on Linux has no .exe; its image name in the list may carry one.
    const std::string stem = ToUpperAscii(image.substr(0, image.rfind(".exe")));
    std::vector<std::string> names;
    ASSERT_EQ(seam.ProcessImageNames(names), ERR_SUCCESS);
    EXPECT_TRUE(std::any_of(names.begin(), names.end(), [&stem](const std::string& name) {
        return ToUpperAscii(name).rfind(stem, 0) == 0;
    })) << image;
}

}  // namespace
}  // namespace parvane
