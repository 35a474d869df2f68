#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "archive/ArchiveKind.h"
#include "archive/OriginLists.h"
#include "base/PathText.h"
#include "platform/Machine.h"
#include "shell/FileNameList.h"
#include "shell/NestedArchives.h"
#include "support/FaultInjectingMachine.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"
#include "support/ZipFiles.h"

namespace parvane {
namespace {

using test::ZipFileEntry;
using test::ZipText;

ExpectedText MyZipMessage(const std::string& path) {
    return Containing("the selected file '" + path + "' is a MyZip archive.\nThe file will");
}

const std::vector<ZipFileEntry> COURSE = {{"c/course.tcr", "t"}, {"c/readme.txt", "r"}};
const std::vector<ZipFileEntry> ONE_LIBRARY = {{"a.tcl", "l"}};
const std::vector<ZipFileEntry> TWO_LIBRARIES = {{"a.tcl", "l"}, {"b.tcl", "l"}};
const std::vector<ZipFileEntry> NOTHING = {{"a.txt", "t"}};

// A queued path, whether it is temporary, and its package kind.
using QueuedEntry = std::tuple<std::string, int, int>;

// What the system's temporary folder holds, where MyZip archives are unpacked.
std::vector<std::string> TempEntries() {
    std::string temp;
    std::vector<FolderEntry> entries;
    EXPECT_EQ(TheMachine().TempPath(temp), ERR_SUCCESS);
    TheMachine().ListFolder(temp + "*.*", entries);
    std::vector<std::string> names;
    for (const FolderEntry& entry : entries)
        names.push_back(entry.name);
    return names;
}

std::vector<QueuedEntry> Queue() {
    std::vector<QueuedEntry> queue;
    for (const FileNameEntry& entry : GetFileNameEntries())
        queue.push_back({entry.path, entry.isTemporary, entry.packageKind});
    return queue;
}

class NestedArchivesTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetQueue(); }
    void TearDown() override {
        ResetQueue();
        ClearOriginLists();
    }
    static void ResetQueue() {
        ClearFileNameList();
        NextFileName(1);
    }

    std::string Archive(const std::string& name, const std::vector<ZipFileEntry>& entries) {
        const std::string path = folder + "\\" + name;
        EXPECT_TRUE(test::WriteZipFile(path, entries));
        return path;
    }
    std::string Queued(const std::string& name, const std::vector<ZipFileEntry>& entries) {
        const std::string path = Archive(name, entries);
        EXPECT_TRUE(AddFileName(path));
        return path;
    }

    test::TestMachine machine;
    ScriptedUserInterface ui;
    const std::string folder = machine.ScratchFolder();
};

TEST_F(NestedArchivesTest, QueueIsOrderedByKindLargerFirstKeepingTheSelectionOrder) {
    const std::string none = Queued("none.zip", NOTHING);
    const std::string course = Queued("course.zip", COURSE);
    const std::string one = Queued("one.zip", ONE_LIBRARY);
    const std::string two = Queued("two.zip", TWO_LIBRARIES);
    const std::string library = Queued("bare.tcl", {});
    const std::string course2 = Queued("course2.zip", COURSE);
    ui.ExpectError("Couldn't get ZIP global info, return code=-102");
    const std::string missing = folder + "\\missing.zip";
    ASSERT_TRUE(AddFileName(missing));

    EXPECT_EQ(ExpandMyZipArchives(), 0);

    EXPECT_EQ(Queue(), (std::vector<QueuedEntry>{{two, 0, ARCHIVE_KIND_LIBRARIES},
                                                 {one, 0, ARCHIVE_KIND_LIBRARY},
                                                 {library, 0, ARCHIVE_KIND_LIBRARY},
                                                 {course, 0, ARCHIVE_KIND_COURSE},
                                                 {course2, 0, ARCHIVE_KIND_COURSE},
                                                 {none, 0, ARCHIVE_KIND_NONE},
                                                 {missing, 0, ARCHIVE_KIND_NONE}}));
    // The walk is over: the next install run starts at the first entry.
    EXPECT_EQ(NextFileName(1)->path, two);
}

// Inner archives in folders are queued where the flat unpacking put them.
TEST_F(NestedArchivesTest, MyZipIsUnpackedIntoAFolderOfItsOwnAndReplacedByItsInnerArchives) {
    const std::string myZip = Queued("M.zip", {{"packs/one/a.zip", ZipText(TWO_LIBRARIES)},
                                               {"packs/two/A.ZIP", ZipText(TWO_LIBRARIES)},
                                               {"b.zip ", ZipText(COURSE)},
                                               {"note.txt", "n"}});
    const std::string course = Queued("a.zip", COURSE);  // the user's, named like an inner one
    ui.ExpectInformation(MyZipMessage(myZip));

    ExpandMyZipArchives();

    // Both a.zip entries hold the same archive: they were written to one file.
    const std::string expansion = std::string(FolderTextPart(GetFileNameEntries()[0].path));
    const std::string a = expansion + "\\a.zip";
    const std::string b = expansion + "\\b.zip";
    EXPECT_EQ(Queue(), (std::vector<QueuedEntry>{{a, 1, ARCHIVE_KIND_LIBRARIES},
                                                 {b, 1, ARCHIVE_KIND_COURSE},
                                                 {course, 0, ARCHIVE_KIND_COURSE}}));
    EXPECT_TRUE(machine.FileExists(expansion + "\\note.txt"));
    EXPECT_FALSE(machine.FileExists(folder + "\\note.txt"));
    EXPECT_TRUE(machine.FileExists(myZip));

    // After installation a temporary archive is deleted, the user's own archive is not.
    DeleteTemporaryArchive(a);
    EXPECT_FALSE(machine.FileExists(a));
    DeleteTemporaryArchive(course);
    EXPECT_EQ(machine.ReadFile(course), ZipText(COURSE));
    DeleteTemporaryArchive(a);  // queued twice, deleted once

    // The folder goes with the last inner archive, and with it what else the MyZip held.
    test::FaultInjectingMachine faults;
    faults.Inject({.call = test::MachineCall::RemoveFile, .pathPart = "b.zip"});
    ui.ExpectWarning("Could not remove temporary archive file '" + b + "'");
    DeleteTemporaryArchive(b);
    EXPECT_FALSE(machine.FolderExists(expansion));
}

TEST_F(NestedArchivesTest, MyZipThatCannotBeUnpackedLeavesTheQueue) {
    const std::string course = Queued("C.zip", COURSE);
    const std::string myZip =
        Queued("M.zip", {{"a.zip", ZipText(COURSE)}, {"x/..\\victim.zip", "x"}});
    const std::string victim = Archive("victim.zip", COURSE);
    const std::vector<std::string> temporary = TempEntries();
    ui.ExpectInformation(MyZipMessage(myZip));
    ui.ExpectError(Containing("the entry 'x/..\\victim.zip' cannot be written safely"));
    ui.ExpectError("The MyZip archive '" + myZip +
                   "' will not be installed: its zip files could not be unpacked.");

    EXPECT_EQ(ExpandMyZipArchives(), 1);

    EXPECT_EQ(Queue(), (std::vector<QueuedEntry>{{course, 0, ARCHIVE_KIND_COURSE}}));
    EXPECT_EQ(TempEntries(), temporary);
    EXPECT_TRUE(machine.FileExists(victim));
}

}  // namespace
}  // namespace parvane
