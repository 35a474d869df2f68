#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "archive/ExtractArchive.h"
#include "archive/OriginLists.h"
#include "archive/ZipReader.h"
#include "base/DigestText.h"
#include "base/Sha1.h"
#include "base/StopRequest.h"
#include "journal/FileDigests.h"
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

// Names as the zip format defines them: UTF-8 with flag bit 11 (composed or as macOS writes
// them, decomposed), else code page 437; written in code page 1252. One that code page cannot
// hold refuses the archive before anything is written, naming the entry.
TEST_F(ExtractArchiveTest, NamesAreDecodedAsTheirFlagSaysAndComposed) {
    const std::vector<ZipFileEntry> spellings = {
        {"a/Ch\xC3\xA2teau.tcr", "composed", ZipMethod::Deflated, test::ZIP_UTF8_NAME},
        {"b/Cha\xCC\x82teau.ini", "decomposed", ZipMethod::Deflated, test::ZIP_UTF8_NAME},
        {"c/Ch\x83teau.txt", "oem"},
        {"\xE2\x82\xAC.txt", "euro", ZipMethod::Deflated, test::ZIP_UTF8_NAME}};
    ASSERT_TRUE(ExtractArchive(Archive("names.zip", spellings), target, true));
    EXPECT_EQ(FilesBelow(target),
              (Names{"Ch\xE2teau.ini", "Ch\xE2teau.tcr", "Ch\xE2teau.txt", "\x80.txt"}));
    EXPECT_EQ(Output("Ch\xE2teau.ini"), "decomposed");

    const std::string other = folder + "\\other";
    for (const ZipFileEntry& unheld :
         {ZipFileEntry{"Glen/\xD0\x96.tcr", "", ZipMethod::Deflated, test::ZIP_UTF8_NAME},
          ZipFileEntry{"Glen/Ch\xC3\xA2teau.tcr", ""}}) {  // UTF-8 read as code page 437
        const std::string archive = Archive("unheld.zip", {{"Glen/a.txt", "A"}, unheld});
        ui.ExpectError(Containing("' holds characters that code page 1252 cannot hold."));
        EXPECT_FALSE(ExtractArchive(archive, other, true));
        EXPECT_EQ(FilesBelow(other), Names{});
    }
}

// Info-ZIP's Unicode Path extra field names the entry in UTF-8 while it matches the stored
// name; a stale one (the entry renamed since) is ignored for the stored name.
TEST_F(ExtractArchiveTest, UnicodePathExtraFieldNamesTheEntryWhileItMatches) {
    const std::string utf8 = "a/Ch\xC3\xA2teau.tcr";
    const std::string stale = test::UnicodePathExtra("b/Old.ini", "b/Ch\xC3\xA2teau.ini");
    const std::vector<ZipFileEntry> entries = {
        {utf8, "current", ZipMethod::Deflated, 0, test::UnicodePathExtra(utf8, utf8)},
        {"b/Glen.ini", "stale", ZipMethod::Deflated, 0, stale}};
    ASSERT_TRUE(ExtractArchive(Archive("infozip.zip", entries), target, true));
    EXPECT_EQ(FilesBelow(target), (Names{"Ch\xE2teau.tcr", "Glen.ini"}));
}

// Packers' leftovers are not written and claim no name; of two other files that flatten to one
// name the later wins, with its own origin, unless a course, library or archive is among them.
TEST_F(ExtractArchiveTest, LeftoversAreSkippedAndTheLaterOfTwoFilesWins) {
    const std::vector<ZipFileEntry> entries = {
        {"Glen/.DS_Store", "1"},        {"Glen/prv/.ds_store", "2"}, {"__MACOSX/Glen/x.tcr", "3"},
        {"__macosx/a.tcl", "4"},        {"Glen/._Glen.tcr", "5"},    {"Glen/THUMBS.DB", "6"},
        {"Glen/prv/Thumbs.db", "7"},    {"Glen/Desktop.ini", "8"},   {"Glen/desktop.ini", "9"},
        {"Glen/prv/tree.dds", "first"}, {"Glen/Tree.dds", "later"},  {"Glen/sounds/a.wav", "a1"},
        {"Glen/a.wav", "a1"},           {"Glen/Glen.tcr", "course"}, {"_MACOSX/._/x._y", "kept"}};
    ASSERT_TRUE(ExtractArchive(Archive("mac.zip", entries), target, true));
    EXPECT_EQ(FilesBelow(target), (Names{"Glen.tcr", "Tree.dds", "a.wav", "x._y"}));
    EXPECT_EQ(Output("Tree.dds"), "later");
    EXPECT_EQ(GetPrvFiles(), Names{});
    EXPECT_EQ(GetSoundsFiles(), Names{"a.wav"});

    for (const char* name : {"c.tcr", "c.TCL", "c.zip", "c.tcx", "c.exe"}) {
        SCOPED_TRACE(name);
        const std::string archive = Archive(
            "clash.zip", {{std::string("a/") + name, "one"}, {std::string("b/") + name, "two"}});
        ui.ExpectError(Containing("would both be written to the file '" + std::string(name)));
        EXPECT_FALSE(ExtractArchive(archive, folder + "\\clash", false));
    }
}

// The record of an installation holds the archive's SHA-1, taken from the reads that unpack
// it: blocks of a megabyte, with the bytes of skipped entries, of inner archives and after the
// last entry hashed in their place.
TEST_F(ExtractArchiveTest, TheArchiveDigestCoversEveryByteWhateverIsSkipped) {
    const auto noise = [](std::size_t size, std::uint32_t state) {
        std::string data(size, '\0');
        for (char& byte : data) {
            state = state * 1664525u + 1013904223u;
            byte = static_cast<char>(state >> 24);
        }
        return data;
    };
    const std::vector<ZipFileEntry> entries = {
        {"Glen/Glen.tcr", noise(2'500'000, 1), ZipMethod::Stored},
        {"__MACOSX/Glen/._Glen.tcr", noise(1'500'000, 2), ZipMethod::Stored},
        {"Glen/inner.zip", ZipText({{"a.txt", noise(300'000, 3)}})},
        {"Glen/.DS_Store", "x"},
        {"Glen/readme.txt", "read me", ZipMethod::Deflated, test::ZIP_DATA_DESCRIPTOR},
        {"Glen/._readme.txt", noise(1'500'000, 4), ZipMethod::Stored}};
    const test::ZipBytes bytes = test::ZipArchiveBytes(entries, {.comment = "packed by hand"});
    const std::string archive = folder + "\\digest.zip";
    ASSERT_TRUE(test::WriteZipFile(archive, bytes));

    ASSERT_TRUE(ExtractArchive(archive, target, true));

    Sha1 expected;
    expected.Add(bytes.data(), bytes.size());
    std::uint64_t size = 0;
    std::string sha1;
    ASSERT_TRUE(RecallFileDigest(archive, size, sha1));
    EXPECT_EQ(size, bytes.size());
    EXPECT_EQ(sha1, Sha1DigestText(expected.Finish()));
    EXPECT_EQ(FilesBelow(target), (Names{"Glen.tcr", "a.txt", "readme.txt"}));
    EXPECT_EQ(Output("Glen.tcr"), entries[0].data);
    ForgetFileDigests();
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
    // The second entry's CRC-32 or declared size made wrong, stored or deflated.
    const auto damaged = [&](const std::string& name, ZipMethod method, auto patch) {
        test::ZipBytes bytes = test::ZipArchiveBytes({{"a.txt", "A"}, {"b.txt", "BBBB", method}});
        patch(bytes);
        EXPECT_TRUE(test::WriteZipFile(folder + "\\" + name, bytes));
        return folder + "\\" + name;
    };
    const auto crc = [](test::ZipBytes& bytes) { test::PatchEntryCrc(bytes, 1, 7); };
    const std::string badCrc = "Couldn't close compressed file 'b.txt', return code=-105";
    // The second entry's deflate stream cut short: zlib's code, as a streamed entry gives it.
    const std::string cutText(900, 'c');
    test::ZipBytes cutBytes = test::ZipArchiveBytes(
        {{"a.txt", "A"}, {"b.txt", test::Deflated(cutText).substr(0, 4), ZipMethod::Stored}});
    test::PatchEntryMethod(cutBytes, 1, ZIP_METHOD_DEFLATED);
    test::PatchEntryUncompressedSize(cutBytes, 1, 900);
    EXPECT_TRUE(test::WriteZipFile(folder + "\\cut.zip", cutBytes));
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
        {Archive("dots.zip", {{"a.txt", "A"}, {"Glen/../Glen.tcr", "x"}}),
         target,
         {Containing("the entry 'Glen/../Glen.tcr' cannot be written safely, because a folder "
                     "of the name is \".\" or \"..\".")}},
        {damaged("stored.zip", ZipMethod::Stored, crc), target, {badCrc}},
        {damaged("deflated.zip", ZipMethod::Deflated, crc), target, {badCrc}},
        {folder + "\\cut.zip", target, {"Couldn't read compressed file 'b.txt', return code=-5"}},
        // Never more than the declared size, never past the entry's compressed data.
        {damaged("longer.zip", ZipMethod::Deflated,
                 [](test::ZipBytes& bytes) { test::PatchEntryUncompressedSize(bytes, 1, 1); }),
         target,
         {badCrc}},
        {damaged("shorter.zip", ZipMethod::Stored,
                 [](test::ZipBytes& bytes) { test::PatchEntryUncompressedSize(bytes, 1, 9); }),
         target,
         {"Couldn't read compressed file 'b.txt': its data ends after 4 of its 9 bytes."}},
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

// An entry inflated whole is hashed and written on other threads straight from the reader's
// memory, and checked while the next entry is read; when its file cannot be written the reader
// goes, and the hashing and writing must be over first. Its failure is the one reported, though
// the next entry's file cannot be made either.
TEST_F(ExtractArchiveTest, AnEntryThatFailsWhileItIsHashedLeavesNothingBeingRead) {
    std::string text;
    for (int line = 0; text.size() < (std::size_t{40} << 20); ++line)
        text += "line " + std::to_string(line) + "\n";
    const std::string archive = Archive("big.zip", {{"big.txt", text}, {"next.txt", text}});
    test::FaultInjectingMachine disk;
    disk.Inject({.call = test::MachineCall::StreamWrite, .pathPart = "big.txt"});
    disk.Inject({.call = test::MachineCall::OpenFile, .pathPart = "next.txt"});
    ui.ExpectError(Containing("Couldn't write target file '" + target + "\\big.txt'"));
    EXPECT_FALSE(ExtractArchive(archive, target, true));
}

// Entries inflated whole are inflated, hashed and written side by side, more of them than are
// ever held at once; each file and its recorded digest are its own entry's, and the failure
// reported is the first entry's in archive order, though a later one failed before it.
TEST_F(ExtractArchiveTest, EntriesInflatedSideBySideAreFinishedInArchiveOrder) {
    std::vector<ZipFileEntry> entries;
    for (int index = 0; index < 50; ++index) {
        std::string text;
        while (text.size() < 20'000)
            text +=
                "entry " + std::to_string(index) + " line " + std::to_string(text.size()) + "\n";
        entries.push_back({"f" + std::to_string(index) + ".txt", text});
    }
    ASSERT_TRUE(ExtractArchive(Archive("many.zip", entries), target, true));
    for (const ZipFileEntry& entry : entries) {
        SCOPED_TRACE(entry.name);
        EXPECT_EQ(Output(entry.name), entry.data);
        std::uint64_t size = 0;
        std::string sha1;
        ASSERT_TRUE(RecallFileDigest(target + "\\" + entry.name, size, sha1));
        Sha1 expected;
        expected.Add(entry.data.data(), entry.data.size());
        EXPECT_EQ(sha1, Sha1DigestText(expected.Finish()));
    }

    test::ZipBytes damaged = test::ZipArchiveBytes(entries);
    test::PatchEntryCrc(damaged, 40, 7);
    ASSERT_TRUE(test::WriteZipFile(folder + "\\damaged.zip", damaged));
    test::FaultInjectingMachine disk;
    disk.Inject({.call = test::MachineCall::OpenFile, .pathPart = "f45.txt"});
    ui.ExpectError("Couldn't close compressed file 'f40.txt', return code=-105");
    EXPECT_FALSE(ExtractArchive(folder + "\\damaged.zip", folder + "\\again", true));
}

// A stop asked for while an entry inflated whole is written is seen at the next progress shown,
// and the writing, kept within a few blocks of that progress, ends there: the rest of the entry
// is never written.
TEST_F(ExtractArchiveTest, AStopEndsTheWritingOfAnEntryInflatedWhole) {
    class StopAtFirstProgress final : public ScriptedUserInterface {
      public:
        // Slow to show, as a window may be: the writing waits for it.
        void AdvanceWork(std::uint64_t) override {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            RequestStop(2);
        }
    };
    std::string text;
    for (int line = 0; text.size() < (std::size_t{16} << 20); ++line)
        text += "line " + std::to_string(line) + "\n";
    const std::string archive = Archive("long.zip", {{"long.txt", text}});
    StopAtFirstProgress stopping;
    stopping.ExpectError("The installation was interrupted before it was complete.");
    EXPECT_FALSE(ExtractArchive(archive, target, true));
    ClearStopRequest();
    EXPECT_LE(Output("long.txt").size(), std::size_t{4} << 20);
}

}  // namespace
}  // namespace parvane
