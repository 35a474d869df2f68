#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "archive/EntryNames.h"
#include "archive/ExtractArchive.h"
#include "archive/OriginLists.h"
#include "platform/Machine.h"
#include "support/FaultInjectingMachine.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"
#include "support/ZipFiles.h"

namespace parvane {
namespace {

using test::FileNamesIn;
using test::ZipArchiveBytes;
using test::ZipBytes;
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
    std::string Archive(const std::string& name, const ZipBytes& bytes) {
        const std::string path = folder + "\\" + name;
        EXPECT_TRUE(test::WriteZipFile(path, bytes));
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
                                         {"inner.zip.", ZipText({{"in.txt", "I"}})},
                                         {"big.txt", big},
                                         {"big.bin", big, ZipMethod::Stored}};
    for (const char* name : {"Course/sounds/b.wav", "Course/course.tcr", "deep/er/Prv/c.bin",
                             "SOUNDS/d.wav", "prv/sub/e.bin", "Course\\prv\\f.bin", "prv\\g.bin",
                             "prv", "notprv/i.bin", "readme.txt. .", "prv/tree.bin "})
        entries.push_back({name, name});
    const std::string archive = Archive("course.zip", entries);

    ASSERT_TRUE(ExtractArchive(archive, target, true));

    EXPECT_EQ(FileNamesIn(target), (Names{"a.bin", "b.wav", "big.bin", "big.txt", "c.bin",
                                          "course.tcr", "d.wav", "e.bin", "f.bin", "g.bin", "i.bin",
                                          "in.txt", "prv", "readme.txt", "tree.bin"}));
    EXPECT_EQ(FileNamesIn(folder), (Names{"course.zip"}));
    EXPECT_EQ(Output("a.bin"), "A");
    EXPECT_EQ(Output("course.tcr"), "Course/course.tcr");
    EXPECT_EQ(Output("big.txt"), big);
    EXPECT_EQ(Output("big.bin"), big);
    // Only the last folder counts; a backslash name has the folder "Course\prv", but a name
    // whose whole folder is "prv" counts, and so does a top-level file named prv.
    EXPECT_EQ(GetPrvFiles(), (Names{"a.bin", "c.bin", "g.bin", "prv", "tree.bin"}));
    EXPECT_EQ(GetSoundsFiles(), (Names{"b.wav", "d.wav"}));
    EXPECT_FALSE(IsTcxFile("course.tcr"));
}

TEST_F(ExtractArchiveTest, FilesOfATcxArchiveAreRecordedAtEveryDepth) {
    const std::string innerZip = ZipText({{"z.txt", "Z"}});
    const std::string innerTcx = ZipText({{"t.txt", "T"}});
    const std::string tcx = Archive("pack.TCX", {{"a.txt", "A"}, {"inner.zip", innerZip}});
    const std::string zip = Archive("pack.zip", {{"plain.txt", "P"}, {"inner.tcx", innerTcx}});

    ASSERT_TRUE(ExtractArchive(tcx, target, true));
    ASSERT_TRUE(ExtractArchive(zip, target, true));

    EXPECT_TRUE(IsTcxFile("a.txt"));
    // The inner archive file was written from the .tcx, its content from a .zip.
    EXPECT_TRUE(IsTcxFile("inner.zip"));
    EXPECT_FALSE(IsTcxFile("z.txt"));
    EXPECT_FALSE(IsTcxFile("plain.txt"));
    EXPECT_FALSE(IsTcxFile("inner.tcx"));
    EXPECT_TRUE(IsTcxFile("t.txt"));
    EXPECT_EQ(FileNamesIn(target), (Names{"a.txt", "plain.txt", "t.txt", "z.txt"}));
}

TEST_F(ExtractArchiveTest, InnerArchivesAreExpandedAndDeletedOrKept) {
    const std::string deeper = ZipText({{"d.txt", "D"}});
    const std::vector<ZipFileEntry> entries = {
        {"a.zip", ZipText({{"x/a.txt", "A"}, {"deeper.zip", deeper}})},
        {"sub/b.EXE", ZipText({{"b.txt", "B"}})},
        {"c.tcx", ZipText({{"c.txt", "C"}})}};
    const std::string archive = Archive("outer.zip", entries);

    ASSERT_TRUE(ExtractArchive(archive, target, true));
    EXPECT_EQ(FileNamesIn(target), (Names{"a.txt", "b.txt", "c.txt", "d.txt"}));

    const std::string kept = folder + "\\kept";
    ASSERT_TRUE(ExtractArchive(archive, kept, false));
    EXPECT_EQ(FileNamesIn(kept), (Names{"a.zip", "b.EXE", "c.tcx"}));
}

TEST_F(ExtractArchiveTest, ProgramThatIsNoZipArchiveFailsWithTwoMessages) {
    const std::string archive =
        Archive("setup.zip", {{"readme.txt", "R"}, {"setup.exe", "MZ\x90\x00 not a zip"}});
    ui.ExpectError("Couldn't get ZIP global info, return code=-102");
    ui.ExpectError("Couldn't extract internal archive 'setup.exe', return code=0");

    EXPECT_FALSE(ExtractArchive(archive, target, true));
    EXPECT_EQ(FileNamesIn(target), (Names{"readme.txt", "setup.exe"}));
}

TEST_F(ExtractArchiveTest, MissingEmptyOrDamagedArchiveCannotBeOpened) {
    ZipBytes cut = ZipArchiveBytes({{"a.txt", std::string(100, 'a')}, {"b.txt", "B"}});
    cut.resize(cut.size() / 2);
    const std::vector<std::string> archives = {folder + "\\missing.zip", Archive("cut.zip", cut),
                                               Archive("text.zip", ZipBytes{'h', 'i'}),
                                               Archive("empty.zip", ZipArchiveBytes({}))};
    for (const std::string& archive : archives) {
        ui.ExpectError("Couldn't get ZIP global info, return code=-102");
        EXPECT_FALSE(ExtractArchive(archive, target, true)) << archive;
    }
    // The target folder was made before the archive was opened.
    EXPECT_TRUE(machine.FolderExists(target));

    ZipBytes endCut = ZipArchiveBytes({{"a.txt", "A"}});
    endCut.resize(endCut.size() - 10);  // inside the end record: fails at the first entry
    ui.ExpectError("Couldn't get ZIP file info, return code=-103");
    EXPECT_FALSE(ExtractArchive(Archive("endcut.zip", endCut), target, true));
    EXPECT_TRUE(FileNamesIn(target).empty());
}

TEST_F(ExtractArchiveTest, TargetFolderMustBeCreatableOneLevelDeep) {
    const std::string archive = Archive("a.zip", {{"a.txt", "A"}});
    machine.MakeFolders(target);
    EXPECT_TRUE(ExtractArchive(archive, target, false));  // already there is fine

    ui.ExpectError("Couldn't create directory '" + folder + "\\no\\such', error code=3");
    EXPECT_FALSE(ExtractArchive(archive, folder + "\\no\\such", false));
}

// Every entry name that tries to escape the target folder (by its last component, a root, a
// drive or "..") or that Windows cannot take as a file name refuses the whole archive before
// anything of it is written.
TEST_F(ExtractArchiveTest, HostileEntryNamesRefuseTheArchiveBeforeWriting) {
    // One name per class; EntryNamesTest holds the full list.
    const std::vector<std::string> hostile = {
        "a/..\\..\\x.dll", "evil\\",    "a/ . ",         "C:x.dll",           "a/new\nline",
        "a/con.txt",       "../up.txt", "/abs/root.txt", "\\\\server\\x.txt", "a/./b.txt"};
    for (const std::string& name : hostile) {
        const std::string archive =
            Archive("hostile.zip", {{"good.txt", "G"}, {name, "X"}, {"later.txt", "L"}});
        const std::string shown = PrintableName(name);
        ui.ExpectError(Containing("the entry '" + shown + "' cannot be written safely"));
        EXPECT_FALSE(ExtractArchive(archive, target, true)) << shown;
        EXPECT_TRUE(FileNamesIn(target).empty()) << shown;
        EXPECT_TRUE(GetPrvFiles().empty());
    }
}

// An entry damaged in its headers refuses the archive with its message; one that is checked
// before anything is written leaves nothing of the archive behind.
TEST_F(ExtractArchiveTest, DamagedEntriesAreRefused) {
    using test::PatchEntryUncompressedSize;
    const auto crc = [](ZipBytes& bytes) { test::PatchEntryCrc(bytes, 1, 0x12345678); };
    const auto longer = [](ZipBytes& bytes) { PatchEntryUncompressedSize(bytes, 1, 20); };
    const std::string crcFailed = "Couldn't close compressed file 'b.txt', return code=-105";
    const std::string endsEarly =
        "Couldn't read compressed file 'b.txt': its data ends after 10 of its 20 bytes.";
    const struct {
        ZipMethod method;
        std::function<void(ZipBytes&)> damage;
        ExpectedText error;
        bool refusedBeforeWriting = false;
    } cases[] = {
        {ZipMethod::Stored, [](ZipBytes& bytes) { test::PatchEntryFlags(bytes, 1, 0x0001); },
         "Couldn't extract archive '" + folder +
             "\\damaged.zip': the entry 'b.txt' is encrypted, which is not supported.",
         true},
        {ZipMethod::Stored, [](ZipBytes& bytes) { test::PatchEntryMethod(bytes, 1, 14); },
         Containing("the entry 'b.txt' uses compression method 14, which is not supported."), true},
        {ZipMethod::Stored, [](ZipBytes& bytes) { test::PatchEntryNameByte(bytes, 1, 1, 0); },
         Containing("cannot be written safely, because the name holds a control"), true},
        {ZipMethod::Stored, crc, crcFailed},
        {ZipMethod::Deflated, crc, crcFailed},
        {ZipMethod::Stored, longer, endsEarly},
        {ZipMethod::Deflated, longer, endsEarly},
        // Declared shorter than it is: minizip stops at the declared size, and the CRC fails.
        {ZipMethod::Deflated, [](ZipBytes& bytes) { PatchEntryUncompressedSize(bytes, 1, 4); },
         crcFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error.text);
        ZipBytes bytes = ZipArchiveBytes({{"a.txt", "A"}, {"b.txt", "0123456789", c.method}});
        c.damage(bytes);
        ui.ExpectError(c.error);
        EXPECT_FALSE(ExtractArchive(Archive("damaged.zip", bytes), target, false));
        if (c.refusedBeforeWriting) {
            EXPECT_TRUE(FileNamesIn(target).empty());
        }
    }
}

TEST_F(ExtractArchiveTest, NamesAndPathsOverTheCapacityAreRefused) {
    const std::string longName = "dir/" + std::string(300, 'n') + ".txt";
    ui.ExpectError(Containing("is longer than 255 characters."));
    EXPECT_FALSE(
        ExtractArchive(Archive("longname.zip", {{"a.txt", "A"}, {longName, "L"}}), target, true));

    std::string deepTarget = folder;
    while (deepTarget.size() < 240)
        deepTarget += "\\" + std::string(20, 'd');
    machine.MakeFolders(deepTarget);
    const std::string name = std::string(254 - deepTarget.size(), 'f');
    const std::string archive = Archive("longpath.zip", {{name, "fits"}, {name + "x", "no"}});
    ui.ExpectError("Couldn't create file '" + deepTarget + "\\" + name +
                   "x': the path is longer than 255 characters.");
    EXPECT_FALSE(ExtractArchive(archive, deepTarget, false));
    EXPECT_TRUE(FileNamesIn(deepTarget).empty());
}

TEST_F(ExtractArchiveTest, DeclaredSizesMustFitTheFreeSpace) {
    const std::string archive =
        Archive("sizes.zip", {{"a.txt", std::string(600, 'a')}, {"b.txt", std::string(500, 'b')}});
    test::FaultInjectingMachine disk;
    disk.SetFreeDiskSpace(1099);
    ui.ExpectError("Couldn't extract archive '" + archive +
                   "': its files need 1100 bytes, but only 1099 bytes are free on the drive of '" +
                   target + "'.");
    EXPECT_FALSE(ExtractArchive(archive, target, false));
    EXPECT_TRUE(FileNamesIn(target).empty());

    disk.SetFreeDiskSpace(1100);
    EXPECT_TRUE(ExtractArchive(archive, target, false));

    // A bomb's declared size is checked before anything is inflated.
    ZipBytes bomb = ZipArchiveBytes({{"small.txt", "tiny"}});
    test::PatchEntryUncompressedSize(bomb, 0, 0xFFFFFFFFu);
    disk.SetFreeDiskSpace(1u << 30);
    ui.ExpectError(Containing("its files need 4294967295 bytes"));
    EXPECT_FALSE(ExtractArchive(Archive("bomb.zip", bomb), target, true));
}

// level1.zip holding level2.zip ... holding the last level, which holds bottom.txt.
std::vector<ZipFileEntry> NestedZips(int levels) {
    std::string nested = ZipText({{"bottom.txt", "B"}});
    for (int level = levels; level > 1; --level)
        nested = ZipText({{"level" + std::to_string(level) + ".zip", nested}});
    return {{"level1.zip", nested}};
}

TEST_F(ExtractArchiveTest, ArchivesNestedTooDeepAreRefused) {
    const int levels = MAX_INNER_ARCHIVE_DEPTH + 1;
    ui.ExpectError(Containing("archives nested more than 7 levels deep are not unpacked."));
    for (int level = levels; level >= 1; --level) {
        ui.ExpectError("Couldn't extract internal archive 'level" + std::to_string(level) +
                       ".zip', return code=0");
    }
    EXPECT_FALSE(ExtractArchive(Archive("deep.zip", NestedZips(levels)), target, true));
    EXPECT_FALSE(machine.FileExists(target + "\\bottom.txt"));

    // One level less is unpacked to the bottom.
    const std::string fitsTarget = folder + "\\fits";
    EXPECT_TRUE(ExtractArchive(Archive("fits.zip", NestedZips(levels - 1)), fitsTarget, true));
    EXPECT_EQ(FileNamesIn(fitsTarget), (Names{"bottom.txt"}));
}

TEST_F(ExtractArchiveTest, EntryMayNotOverwriteAnArchiveBeingRead) {
    // Unpacked beside itself, as a MyZip archive is.
    const std::string self = Archive("Self.zip", {{"a.txt", "A"}, {"sub/self.ZIP", "X"}});
    ui.ExpectError("Couldn't extract archive '" + self +
                   "': the entry 'sub/self.ZIP' would overwrite the archive '" + folder +
                   "\\self.ZIP' while it is being unpacked.");
    EXPECT_FALSE(ExtractArchive(self, folder, false));
    EXPECT_FALSE(machine.FileExists(folder + "\\a.txt"));

    // An inner archive that holds an entry of its own name.
    const std::string quine =
        Archive("outer.zip", {{"inner.zip", ZipText({{"b.txt", "B"}, {"inner.zip", "I"}})}});
    ui.ExpectError(Containing("the entry 'inner.zip' would overwrite the archive"));
    ui.ExpectError("Couldn't extract internal archive 'inner.zip', return code=0");
    EXPECT_FALSE(ExtractArchive(quine, target, true));
    EXPECT_EQ(FileNamesIn(target), (Names{"inner.zip"}));
}

}  // namespace
}  // namespace parvane
