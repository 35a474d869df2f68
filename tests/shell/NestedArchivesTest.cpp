#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/ArchiveKind.h"
#include "archive/OriginLists.h"
#include "shell/FileNameList.h"
#include "shell/NestedArchives.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"
#include "support/ZipFiles.h"

namespace parvane {
namespace {

using test::ZipFileEntry;

std::string ZipText(const std::vector<ZipFileEntry>& entries) {
    const test::ZipBytes bytes = test::ZipArchiveBytes(entries);
    return std::string(bytes.begin(), bytes.end());
}

std::string MyZipMessage(const std::string& path) {
    return "Parvane has detected that the selected file '" + path +
           "' is a MyZip archive.\nThe file will now be unzipped and each contained zip file "
           "will be installed separately.\nOnce the installation is complete, the contained zip "
           "files will be removed again.";
}

const std::vector<ZipFileEntry> COURSE = {{"c/course.tcr", "t"}, {"c/readme.txt", "r"}};
const std::vector<ZipFileEntry> ONE_LIBRARY = {{"a.tcl", "l"}};
const std::vector<ZipFileEntry> TWO_LIBRARIES = {{"a.tcl", "l"}, {"b.tcl", "l"}};
const std::vector<ZipFileEntry> NOTHING = {{"a.txt", "t"}};

struct QueuedEntry {
    std::string path;
    int isTemporary;
    int packageKind;
    bool operator==(const QueuedEntry&) const = default;
};

void PrintTo(const QueuedEntry& entry, std::ostream* out) {
    *out << "{" << entry.path << ", " << entry.isTemporary << ", " << entry.packageKind << "}";
}

std::vector<QueuedEntry> Queue() {
    std::vector<QueuedEntry> queue;
    for (const FileNameEntry& entry : GetFileNameEntries()) {
        queue.push_back({entry.path, entry.isTemporary, entry.packageKind});
    }
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

    ExpandMyZipArchives();

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
TEST_F(NestedArchivesTest, MyZipIsUnpackedBesideItselfAndReplacedByItsInnerArchives) {
    const std::string myZip = Queued("M.zip", {{"packs/one/a.zip", ZipText(ONE_LIBRARY)},
                                               {"packs/two/A.ZIP", ZipText(TWO_LIBRARIES)},
                                               {"b.zip ", ZipText(COURSE)},
                                               {"note.txt", "n"}});
    const std::string course = Queued("C.zip", COURSE);
    ui.ExpectInformation(MyZipMessage(myZip));

    ExpandMyZipArchives();

    // Both a.zip entries were written to one file; the later one won.
    const std::string a = folder + "\\a.zip";
    EXPECT_EQ(Queue(), (std::vector<QueuedEntry>{{a, 1, ARCHIVE_KIND_LIBRARIES},
                                                 {folder + "\\b.zip", 1, ARCHIVE_KIND_COURSE},
                                                 {course, 0, ARCHIVE_KIND_COURSE}}));
    EXPECT_TRUE(machine.FileExists(folder + "\\note.txt"));
    EXPECT_TRUE(machine.FileExists(myZip));

    // After installation a temporary archive is deleted, the user's own archive is not.
    DeleteTemporaryArchive(a);
    EXPECT_FALSE(machine.FileExists(a));
    DeleteTemporaryArchive(course);
    EXPECT_TRUE(machine.FileExists(course));
    DeleteTemporaryArchive(folder + "\\not queued.zip");
    ui.ExpectWarning("Could not remove temporary archive file '" + a + "'");
    DeleteTemporaryArchive(a);
}

TEST_F(NestedArchivesTest, MyZipWithMoreThanEightyInnerArchivesKeepsThemAll) {
    std::vector<ZipFileEntry> entries;
    std::vector<QueuedEntry> expected;
    const std::string library = ZipText(ONE_LIBRARY);
    for (int i = 0; i < 85; ++i) {
        const std::string name = "pack" + std::to_string(i) + ".zip";
        entries.push_back({name, library});
        expected.push_back({folder + "\\" + name, 1, ARCHIVE_KIND_LIBRARY});
    }
    const std::string myZip = Queued("M.zip", entries);
    ui.ExpectInformation(MyZipMessage(myZip));
    ExpandMyZipArchives();
    EXPECT_EQ(Queue(), expected);
}

TEST_F(NestedArchivesTest, OnlyInnerArchiveRestartsTheWalkSoANestedMyZipIsExpandedToo) {
    const std::string inner = folder + "\\inner.zip";
    const std::string outer =
        Queued("outer.zip", {{"inner.zip", ZipText({{"course.zip", ZipText(COURSE)}})}});
    ui.ExpectInformation(MyZipMessage(outer));
    ui.ExpectInformation(MyZipMessage(inner));

    ExpandMyZipArchives();

    EXPECT_EQ(Queue(),
              (std::vector<QueuedEntry>{{folder + "\\course.zip", 1, ARCHIVE_KIND_COURSE}}));
}

TEST_F(NestedArchivesTest, MyZipThatCannotBeUnpackedLeavesTheQueue) {
    const std::string course = Queued("C.zip", COURSE);
    const std::string myZip =
        Queued("M.zip", {{"a.zip", ZipText(COURSE)}, {"x/..\\victim.zip", "x"}});
    const std::string victim = Archive("victim.zip", COURSE);
    ui.ExpectInformation(MyZipMessage(myZip));
    ui.ExpectError(Containing("the entry 'x/..\\victim.zip' cannot be written safely"));

    ExpandMyZipArchives();

    EXPECT_EQ(Queue(), (std::vector<QueuedEntry>{{course, 0, ARCHIVE_KIND_COURSE}}));
    EXPECT_FALSE(machine.FileExists(folder + "\\a.zip"));
    EXPECT_TRUE(machine.FileExists(victim));
}

TEST_F(NestedArchivesTest, ReplacementMovesTheCursorPastTheInnerArchivesAndNeedsAQueuedPath) {
    for (const char* path : {"C:\\p.zip", "C:\\m.zip", "C:\\q.zip", "C:\\p.zip"})
        ASSERT_TRUE(AddFileName(path));
    EXPECT_EQ(FindFileName("C:\\P.zip"), -1);  // exact comparison
    NextFileName(1);
    NextFileName(1);  // the walk has just returned m.zip
    ui.ExpectError("Couldn't get ZIP global info, return code=-102");  // the two classifications
    ui.ExpectError("Couldn't get ZIP global info, return code=-102");
    ReplaceWithInnerArchives("C:\\m.zip", {"C:\\i1.zip", "C:\\i2.zip"});
    EXPECT_EQ(NextFileName(1)->path, "C:\\q.zip");

    ui.ExpectError("Internal error - 'C:\\x.zip' not found in file name list");
    ReplaceWithInnerArchives("C:\\x.zip", {"C:\\i.zip"});
    EXPECT_EQ(FileNameCount(), 5);
}

}  // namespace
}  // namespace parvane
