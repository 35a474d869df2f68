#include <gtest/gtest.h>
#include <zlib.h>

#include <memory>
#include <string>
#include <vector>

#include "archive/ZipReader.h"
#include "archive/ZipWalk.h"
#include "base/DigestText.h"
#include "base/Sha1.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"
#include "support/ZipFiles.h"

namespace parvane {
namespace {

using test::ZipMethod;

// What a reader delivers of one entry, and how the reading ends: the unpacking's messages
// ("return code=%d", "its data ends after %llu of its %llu bytes") are made from these.
struct Delivered {
    std::string bytes;
    int end = 0;
    bool operator==(const Delivered&) const = default;
};

// The archive's digest, taken on the way, covers its bytes whichever way its entries are read.
std::vector<Delivered> ReadEntries(const std::string& archive, const test::ZipBytes& bytes,
                                   std::uint64_t wholeInflateLimit) {
    ZipReader reader(archive, ArchiveHashing::Hashed, wholeInflateLimit);
    std::vector<Delivered> entries;
    std::vector<char> block(ZIP_DATA_BLOCK_SIZE);
    EXPECT_TRUE(ForEachEntry(reader, [&](const ZipEntryInfo&) {
        Delivered& entry = entries.emplace_back();
        EXPECT_EQ(reader.OpenEntryData(), ZIPCODE_OK);
        if (const std::unique_ptr<WholeEntry> whole = reader.TakeWholeEntry()) {
            reader.GatherWholeEntry(*whole);
            whole->Inflate();
            entry.bytes.assign(whole->Bytes().begin(), whole->Bytes().end());
            entry.end = whole->End();
            reader.ReleaseGathered();
            return reader.CloseEntryData() == ZIPCODE_OK;
        }
        int count = 0;
        while ((count = reader.ReadEntryData(block.data(), block.size())) > 0) {
            entry.bytes.append(block.data(), static_cast<std::size_t>(count));
        }
        entry.end = count;
        EXPECT_EQ(reader.CloseEntryData(), ZIPCODE_OK);
        return true;
    }));
    Sha1 expected;
    expected.Add(bytes.data(), bytes.size());
    EXPECT_EQ(reader.FinishDigest().value_or(ArchiveFingerprint{}).sha1,
              Sha1DigestText(expected.Finish()));
    return entries;
}

// Deflated entries are inflated whole up to a memory limit and streamed above it; either way
// gives the same bytes, and damaged data the same bytes and codes.
TEST(EntryData, InflatedWholeOrStreamedAnEntryGivesTheSameBytesAndErrors) {
    test::TestMachine machine;
    ScriptedUserInterface ui;
    std::string text;
    while (text.size() < 1'500'000) {
        text += "fairway " + std::to_string(text.size() * 2654435761u) + " ";
    }
    const std::string middle = test::Deflated(text.substr(0, 100'000));
    std::string flipped = middle;
    flipped[flipped.size() / 2] = static_cast<char>(~flipped[flipped.size() / 2]);
    // Deflate streams stored as they stand, then declared deflated with the size given.
    const std::vector<std::pair<std::string, std::uint32_t>> raw = {
        {flipped, 100'000},
        {middle.substr(0, middle.size() / 2), 100'000},  // cut short
        {test::Deflated("BBBB"), 9},                     // ends early
        {test::Deflated("BBBB"), 1},                     // goes on past its size
        {"\xff\xff\xff", 5}};                            // no deflate block at all
    std::vector<test::ZipFileEntry> entries = {{"text.txt", text}, {"empty.txt", ""}};
    for (const auto& [stream, size] : raw) {
        entries.push_back({"raw" + std::to_string(entries.size()), stream, ZipMethod::Stored});
    }
    entries.push_back({"stored.txt", text.substr(0, 3000), ZipMethod::Stored});
    test::ZipBytes bytes = test::ZipArchiveBytes(entries);
    for (std::size_t index = 2; index < 2 + raw.size(); ++index) {
        test::PatchEntryMethod(bytes, index, Z_DEFLATED);
        test::PatchEntryUncompressedSize(bytes, index, raw[index - 2].second);
    }
    const std::string archive = machine.ScratchFolder() + "\\entries.zip";
    ASSERT_TRUE(test::WriteZipFile(archive, bytes));

    const std::vector<Delivered> streamed = ReadEntries(archive, bytes, 0);
    const std::vector<Delivered> whole = ReadEntries(archive, bytes, WHOLE_INFLATE_LIMIT);
    EXPECT_EQ(whole, streamed);
    // Between the two, the text streams and the entries after it are inflated whole.
    EXPECT_EQ(ReadEntries(archive, bytes, 1'000'000), streamed);
    ASSERT_EQ(streamed.size(), entries.size());
    EXPECT_EQ(streamed[0], (Delivered{text, 0}));
    EXPECT_EQ(streamed[1], (Delivered{"", 0}));
    EXPECT_NE(streamed[2].bytes, text.substr(0, 100'000));
    EXPECT_EQ(streamed[3].end, Z_BUF_ERROR);
    EXPECT_EQ(streamed[4], (Delivered{"BBBB", 0}));
    EXPECT_EQ(streamed[5], (Delivered{"B", 0}));
    EXPECT_EQ(streamed[6], (Delivered{"", Z_DATA_ERROR}));
    EXPECT_EQ(streamed[7], (Delivered{entries[7].data, 0}));
}

}  // namespace
}  // namespace parvane
