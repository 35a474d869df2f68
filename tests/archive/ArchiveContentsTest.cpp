#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/ArchiveContents.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"
#include "support/ZipFiles.h"

namespace parvane {
namespace {

using test::ZipFileEntry;
using Names = std::vector<std::string>;

class ArchiveContentsTest : public ::testing::Test {
  protected:
    std::string Archive(const std::string& name, const Names& entryNames) {
        std::vector<ZipFileEntry> entries;
        for (const std::string& entryName : entryNames)
            entries.push_back({entryName, "x"});
        const std::string path = folder + "\\" + name;
        EXPECT_TRUE(test::WriteZipFile(path, entries));
        return path;
    }

    test::TestMachine machine;
    ScriptedUserInterface ui;
    const std::string folder = machine.ScratchFolder();
};

TEST_F(ArchiveContentsTest, KindFollowsTheCountsOfCourseLibraryAndZipEntries) {
    EXPECT_EQ(ClassifyArchive(Archive("course.zip", {"c/x.TCR", "a.tcl", "b.tcl", "z.zip"})),
              ARCHIVE_KIND_COURSE);
    EXPECT_EQ(ClassifyArchive(Archive("one.zip", {"lib/a.Tcl", "readme.txt", "z.zip"})),
              ARCHIVE_KIND_LIBRARY);
    EXPECT_EQ(ClassifyArchive(Archive("two.zip", {"a.tcl", "b.tcl", "z.zip"})),
              ARCHIVE_KIND_LIBRARIES);
    // macOS's resource forks are no libraries.
    EXPECT_EQ(ClassifyArchive(Archive("mac.zip", {"a.zip", "__MACOSX/._a.tcl", "._b.tcl"})),
              ARCHIVE_KIND_MYZIP);
    EXPECT_EQ(ClassifyArchive(Archive("myzip.zip", {"a.zip", "b.ZIP", "readme.txt"})),
              ARCHIVE_KIND_MYZIP);
    EXPECT_EQ(ClassifyArchive(Archive("text.zip", {"a.txt", "b.txt", "folder.tcr/"})),
              ARCHIVE_KIND_NONE);
    // A library path is one library without being opened; an unreadable archive is none.
    EXPECT_EQ(ClassifyArchive(folder + "\\no such.TCL"), ARCHIVE_KIND_LIBRARY);
    ui.ExpectError("Couldn't get ZIP global info, return code=-102");
    EXPECT_EQ(ClassifyArchive(Archive("empty.zip", {})), ARCHIVE_KIND_NONE);
}

}  // namespace
}  // namespace parvane
