#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/ExtractArchive.h"
#include "archive/OriginLists.h"
#include "platform/Machine.h"
#include "support/FaultInjectingMachine.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"
#include "support/ZipFiles.h"

namespace parvane {
namespace {

using test::FilesBelow;
using test::ZipFileEntry;
using test::ZipMethod;
using test::ZipText;
using Names = std::vector<std::string>;

class ExtractArchiveTest : public ::testing::Test {
  protected:
    void SetUp() override { ClearOriginLists(); }
    void TearDown() override { ClearOriginLists(); }

    std::string Archive(const std::string& name, const std::vector<ZipFileEntry>& entries) {
        const std::string path = folder + "\\" + name;
        EXPECT_TRUE(test::WriteZipFile(path, entries));
        return path;
    }
    std::string Output(const std::string& name) { return machine.ReadFile(target + "\\" + name); }

    test::TestMachine machine;
    ScriptedUserInterface ui;
    const std::string folder = machine.ScratchFolder();
    const std::string target = folder + "\\out";
};

// Every file lands in the target under the name Windows gives its last component.
TEST_F(ExtractArchiveTest, WritesFlatAndRecordsPrvAndSoundsFoldersAtAnyDepth) {
    std::string big;
    for (int i = 0; big.size() < 100000; ++i)
        big += std::to_string(i * 7919) + ",";
    // Each entry holds its own name.
    std::vector<ZipFileEntry> entries = {{"Course/", ""},
                                         {"Course/prv/a.bin", "A", ZipMethod::Stored},
                                         {"big.txt", big},
                                         {"big.bin", big, ZipMethod::Stored}};
    for (const char* name :
         {"Course/sounds/b.wav", "Course/course.tcr", "deep/er/Prv/c.bin", "SOUNDS/d.wav",
          "Course\\prv\\f.bin", "prv", "notprv/i.bin", "readme.txt. ."})
        entries.push_back({name, name});
    const std::string archive = Archive("course.zip", entries);

    ASSERT_TRUE(ExtractArchive(archive, target, true));

    EXPECT_EQ(FilesBelow(target),
              (Names{"a.bin", "b.wav", "big.bin", "big.txt", "c.bin", "course.tcr", "d.wav",
                     "f.bin", "i.bin", "prv", "readme.txt"}));
    EXPECT_EQ(Output("a.bin"), "A");
    EXPECT_EQ(Output("course.tcr"), "Course/course.tcr");
    EXPECT_EQ(Output("big.txt"), big);
    EXPECT_EQ(Output("big.bin"), big);
    // Only the last folder counts; a backslash name has the folder "Course\prv", and a
    // top-level file named prv counts.
    EXPECT_EQ(GetPrvFiles(), (Names{"a.bin", "c.bin", "prv"}));
    EXPECT_EQ(GetSoundsFiles(), (Names{"b.wav", "d.wav"}));
}

TEST_F(ExtractArchiveTest, InnerArchivesAreExpandedAndDeletedOrKept) {
    const std::string deeper = ZipText({{"d.txt", "D"}});
    const std::vector<ZipFileEntry> entries = {
        {"a.zip", ZipText({{"x/a.txt", "A"}, {"deeper.zip", deeper}})},
        {"sub/b.EXE", ZipText({{"b.txt", "B"}})},
        {"c.tcx", ZipText({{"c.txt", "C"}})}};
    const std::string archive = Archive("outer.zip", entries);

    ASSERT_TRUE(ExtractArchive(archive, target, true));
    EXPECT_EQ(FilesBelow(target), (Names{"a.txt", "b.txt", "c.txt", "d.txt"}));

    const std::string kept = folder + "\\kept";
    ASSERT_TRUE(ExtractArchive(archive, kept, false));
    EXPECT_EQ(FilesBelow(kept), (Names{"a.zip", "b.EXE", "c.tcx"}));
}

// The refusals that the end-to-end corpus of hostile archives does not reach (it holds the
// damaged and declared-size cases).
TEST_F(ExtractArchiveTest, ArchivesThatCannotBeUnpackedWhollyAreRefused) {
    std::string deep = folder;
    while (deep.size() < 240)
        deep += "\\" + std::string(20, 'd');
    machine.MakeFolders(deep);
    const std::string fits(254 - deep.size(), 'f');
    const std::string sizes =
        Archive("sizes.zip", {{"a.txt", std::string(600, 'a')}, {"b.txt", std::string(500, 'b')}});
    const std::string self = Archive("Self.zip", {{"a.txt", "A"}, {"sub/self.ZIP", "X"}});
    const struct {
        std::string archive;
        std::string target;
        ExpectedText error;
        std::string neverWritten = {};  // empty: the archive may be written in part
    } cases[] = {
        {Archive("longname.zip", {{"a.txt", "A"}, {"d/" + std::string(300, 'n'), "L"}}),
         target,
         {Containing("is longer than 255 characters.")}},
        {Archive("longpath.zip", {{fits, "fits"}, {fits + "x", "no"}}),
         deep,
         {"Couldn't create file '" + deep + "\\" + fits +
          "x': the path is longer than 255 characters."},
         deep + "\\" + fits},
        {sizes,
         folder + "\\sizes",
         {"Couldn't extract archive '" + sizes +
          "': its files need 1100 bytes, but only 1099 bytes are free on the drive of '" + folder +
          "\\sizes'."},
         folder + "\\sizes\\a.txt"},
        // Unpacked beside itself, as a MyZip archive is.
        {self,
         folder,
         {"Couldn't extract archive '" + self +
          "': the entry 'sub/self.ZIP' would overwrite the archive '" + folder +
          "\\self.ZIP' while it is being unpacked."},
         folder + "\\a.txt"},
    };
    test::FaultInjectingMachine disk;
    disk.SetFreeDiskSpace(1099);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archive);
        ui.ExpectError(c.error);
        EXPECT_FALSE(ExtractArchive(c.archive, c.target, true));
        if (!c.neverWritten.empty()) {
            EXPECT_FALSE(machine.FileExists(c.neverWritten));
        }
    }
    disk.SetFreeDiskSpace(1100);
    EXPECT_TRUE(ExtractArchive(sizes, folder + "\\sizes", false));
}

}  // namespace
}  // namespace parvane
