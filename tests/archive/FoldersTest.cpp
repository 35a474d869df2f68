#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "archive/Folders.h"
#include "base/GameFolders.h"
#include "base/PathText.h"
#include "platform/Machine.h"
#include "support/ForwardingMachine.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

class FolderTest : public ::testing::Test {
  protected:
    void MakeFolder(const std::string& path) { machine.MakeFolders(path); }
    void MakeFile(const std::string& path) { machine.WriteFile(path, "x"); }
    static bool Exists(const std::string& path) {
        std::uint32_t attributes = 0;
        return TheMachine().GetAttributes(path, attributes) == ERR_SUCCESS;
    }

    test::TestMachine machine;
    ScriptedUserInterface ui;
    const std::string scratch = machine.ScratchFolder();
};

// Fails one chosen folder operation with access denied.
class DenyingMachine : public test::ForwardingMachine {
  public:
    std::string denyMakeFolder;
    std::string denyRemoveFolder;
    std::string denyListing;  // every search whose pattern starts with this

    Win32Error MakeFolder(const std::string& path) override {
        return path == denyMakeFolder ? ERR_ACCESS_DENIED : ForwardingMachine::MakeFolder(path);
    }
    Win32Error RemoveEmptyFolder(const std::string& path) override {
        return path == denyRemoveFolder ? ERR_ACCESS_DENIED
                                        : ForwardingMachine::RemoveEmptyFolder(path);
    }
    Win32Error ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) override {
        return pattern.starts_with(denyListing) && !denyListing.empty()
                   ? ERR_ACCESS_DENIED
                   : ForwardingMachine::ListFolder(pattern, entries);
    }
};

using GetFolderPartTest = FolderTest;

TEST_F(GetFolderPartTest, CutsAFilePathButReturnsAnExistingFolderWhole) {
    EXPECT_EQ(GetFolderPart(scratch + "\\y.tcr"), scratch);
    EXPECT_EQ(GetFolderPart("y.tcr"), "y.tcr");
    EXPECT_EQ(GetFolderPart("Course/prv\\1.prv"), "Course");
    MakeFolder(scratch + "\\Course.tcr");
    EXPECT_EQ(GetFolderPart(scratch + "\\Course.tcr"), scratch + "\\Course.tcr");
}

using FolderHasMatchTest = FolderTest;

TEST_F(FolderHasMatchTest, FindsFilesAndFoldersAndCountsAnUnsearchableFolderAsMatching) {
    MakeFile(scratch + "\\Source.TCA");
    MakeFolder(scratch + "\\Objects.tlb");
    EXPECT_TRUE(FolderHasMatch(scratch, "*.tca"));
    EXPECT_TRUE(FolderHasMatch(scratch, "*.tlb"));
    EXPECT_FALSE(FolderHasMatch(scratch, "*.tcr"));
    EXPECT_FALSE(FolderHasMatch(scratch + "\\Missing", "*.tca"));

    DenyingMachine denying;
    denying.denyListing = scratch;
    EXPECT_TRUE(FolderHasMatch(scratch, "*.tcr"));
}

using CreateFolderPathTest = FolderTest;

TEST_F(CreateFolderPathTest, CreatesEveryMissingFolderAlongThePath) {
    MakeFolder(scratch + "\\A");
    EXPECT_TRUE(CreateFolderPath(scratch + "\\A\\B\\C"));
    EXPECT_TRUE(Exists(scratch + "\\A\\B\\C"));
    EXPECT_TRUE(CreateFolderPath(scratch + "\\\\D\\\\E\\"));
    EXPECT_TRUE(Exists(scratch + "\\D\\E"));
    EXPECT_TRUE(CreateFolderPath(scratch + "\\A\\B\\C"));
    EXPECT_TRUE(CreateFolderPath(""));
    EXPECT_TRUE(CreateFolderPath("\\\\"));
}

TEST_F(CreateFolderPathTest, StopsAtTheFirstFolderItCannotCreate) {
    MakeFolder(scratch + "\\A");
    DenyingMachine denying;
    denying.denyMakeFolder = scratch + "\\A\\B\\C\\";
    ui.ExpectError("Couldn't create folder " + scratch + "\\A\\B\\C\\, return code=5");
    EXPECT_FALSE(CreateFolderPath(scratch + "\\A\\B\\C\\D"));
    EXPECT_TRUE(Exists(scratch + "\\A\\B"));
    EXPECT_FALSE(Exists(scratch + "\\A\\B\\C"));
}

TEST_F(CreateFolderPathTest, FailsAtAFileInTheWayOrAPathLongerThanWindowsAllows) {
    // With its trailing backslash the accumulated path does not name the file, as on Windows,
    // so creating the folder is tried and finds the name taken.
    MakeFile(scratch + "\\F");
    ui.ExpectError("Couldn't create folder " + scratch + "\\F\\, return code=183");
    EXPECT_FALSE(CreateFolderPath(scratch + "\\F\\G"));

    // Refused before anything is created.
    const std::string path = scratch + "\\New\\" + std::string(MAX_PATH_LENGTH, 'x');
    ui.ExpectError("Couldn't create folder " + path + ", return code=206");
    EXPECT_FALSE(CreateFolderPath(path));
    EXPECT_FALSE(Exists(scratch + "\\New"));
}

// RemoveFolder touches only folders inside the game's folder.
class RemoveFolderTest : public FolderTest {
  protected:
    RemoveFolderTest() { ForgetGameFolders(); }
    ~RemoveFolderTest() override { ForgetGameFolders(); }
    const std::string course = machine.GameInstallDir() + "\\Courses\\Pine";
};

TEST_F(RemoveFolderTest, RemovesTheFilesAndTheFolderSilentlyAndSkipsAMissingOne) {
    RemoveFolder(course + "\\Missing");
    MakeFile(course + "\\one.tcr");
    MakeFile(course + "\\two.tcl");
    RemoveFolder(course);
    EXPECT_FALSE(Exists(course));
}

TEST_F(RemoveFolderTest, LeavesAFolderWithASubfolderAndSaysSo) {
    MakeFile(course + "\\one.tcr");
    MakeFolder(course + "\\prv");
    ui.ExpectError("Couldn't remove file '" + course + "\\prv', return code=5");
    ui.ExpectInformation("There are still files left in the folder '" + course +
                         "',\nYou must remove this folder manually.");
    RemoveFolder(course);
    EXPECT_FALSE(Exists(course + "\\one.tcr"));
    EXPECT_TRUE(Exists(course + "\\prv"));
}

TEST_F(RemoveFolderTest, ReportsAFolderThatCannotBeRemoved) {
    MakeFile(course + "\\one.tcr");
    DenyingMachine denying;
    denying.denyRemoveFolder = course;
    ui.ExpectError("Couldn't remove directory '" + course + "', return code=5");
    RemoveFolder(course);
    EXPECT_FALSE(Exists(course + "\\one.tcr"));
    EXPECT_TRUE(Exists(course));
}

}  // namespace
}  // namespace parvane
