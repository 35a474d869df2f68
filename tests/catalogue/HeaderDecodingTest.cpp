#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/HeaderDecoding.h"

namespace parvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t GUID_LIST = 268;
constexpr std::size_t NAME_LIST = 804;

void Put(Bytes& bytes, std::size_t offset, std::string_view text) {
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

// A GUID record whose bytes are all `fill`, so that its first word is non-zero.
void PutGuidRecord(Bytes& bytes, std::size_t index, std::uint8_t fill) {
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(GUID_LIST + 16 * index), 16, fill);
}

// Packs names one after the other from the name list offset, each ended by a NUL.
void PutNames(Bytes& bytes, const std::vector<std::string>& names) {
    std::size_t offset = NAME_LIST;
    for (const std::string& name : names) {
        Put(bytes, offset, name);
        offset += name.size() + 1;
    }
}

TEST(NameAndGuid, NeedsEightyBytesAndTakesTheNameUpToNulOrBlockEnd) {
    Bytes block(NAME_BLOCK_SIZE, 0xEE);
    const std::uint8_t guid[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    std::copy(std::begin(guid), std::end(guid), block.begin() + 2);
    Put(block, 22, std::string("Heather Links") + '\0');
    NameAndGuid result;
    ASSERT_TRUE(DecodeNameAndGuid(block, result));
    EXPECT_EQ(GuidToText(result.guid), "{04030201-0605-0807-090A-0B0C0D0E0F10}");
    EXPECT_EQ(result.name, "Heather Links");

    block.pop_back();
    EXPECT_FALSE(DecodeNameAndGuid(block, result));
    EXPECT_FALSE(DecodeNameAndGuid({}, result));

    Bytes unended(NAME_BLOCK_SIZE + 10, 'n');  // bytes after 80 must not join the name
    ASSERT_TRUE(DecodeNameAndGuid(unended, result));
    EXPECT_EQ(result.name, std::string(58, 'n'));

    ASSERT_TRUE(DecodeNameAndGuid(Bytes(NAME_BLOCK_SIZE, 0), result));
    EXPECT_EQ(result.name, "");
    EXPECT_TRUE(IsZeroGuid(result.guid));
    // Only the all-zero GUID is an empty slot.
    for (std::size_t i = 0; i < 16; ++i) {
        std::uint8_t bytes[16] = {};
        bytes[i] = 0x80;
        EXPECT_FALSE(IsZeroGuid(GuidFromBytes(bytes))) << "byte " << i;
    }
}

class CourseHeader : public ::testing::Test {
  protected:
    Bytes header = Bytes(COURSE_HEADER_SIZE, 0);
    ReferencedGuids guids;
    ReferencedNames names;
};

TEST_F(CourseHeader, ListsAreParallelAndEndAtTheirTerminators) {
    ASSERT_TRUE(DecodeReferencedLibraryGuids(header, guids));
    EXPECT_EQ(guids.count, 0);
    ASSERT_TRUE(DecodeReferencedLibraryNames(header, names));
    EXPECT_EQ(names.count, 0);

    PutGuidRecord(header, 0, 0x11);
    PutGuidRecord(header, 1, 0xFE);  // no sign extension
    PutNames(header, {"Oaks", "Rocks"});
    ASSERT_TRUE(DecodeReferencedLibraryGuids(header, guids));
    ASSERT_EQ(guids.count, 2);
    EXPECT_EQ(GuidToText(guids.guids[1]), "{FEFEFEFE-FEFE-FEFE-FEFE-FEFEFEFEFEFE}");
    ASSERT_TRUE(DecodeReferencedLibraryNames(header, names));
    ASSERT_EQ(names.count, 2);
    EXPECT_EQ(names.names[0], "Oaks");
    EXPECT_EQ(names.names[1], "Rocks");
}

TEST_F(CourseHeader, NeedsAllThreeThousandBytes) {
    PutGuidRecord(header, 0, 0x11);
    PutNames(header, {"Oaks"});
    header.pop_back();
    EXPECT_FALSE(DecodeReferencedLibraryGuids(header, guids));
    EXPECT_FALSE(DecodeReferencedLibraryNames(header, names));
    NameAndGuid nameAndGuid;
    EXPECT_TRUE(DecodeNameAndGuid(header, nameAndGuid));
}

TEST_F(CourseHeader, FirstWordAloneDecidesWhetherARecordEndsTheGuidList) {
    PutGuidRecord(header, 0, 0x11);
    PutGuidRecord(header, 1, 0x22);
    std::fill_n(header.begin() + GUID_LIST + 16, 4, 0);  // record 1: only its first word zero
    PutGuidRecord(header, 2, 0x33);
    ASSERT_TRUE(DecodeReferencedLibraryGuids(header, guids));
    EXPECT_EQ(guids.count, 1);

    std::fill_n(header.begin() + GUID_LIST, 16, 0);
    header[GUID_LIST + 3] = 0x80;  // only the high byte of Data1
    ASSERT_TRUE(DecodeReferencedLibraryGuids(header, guids));
    ASSERT_EQ(guids.count, 1);
    EXPECT_EQ(guids.guids[0].Data1, 0x80000000u);
}

TEST_F(CourseHeader, FortyReferencesAreTheMostAccepted) {
    std::vector<std::string> forty;
    for (int i = 0; i < MAX_REFERENCED_LIBRARIES; ++i) {
        forty.push_back("Library " + std::to_string(i));
    }
    PutNames(header, forty);
    ASSERT_TRUE(DecodeReferencedLibraryNames(header, names));
    EXPECT_EQ(names.count, 40);
    EXPECT_EQ(names.names[39], "Library 39");

    forty.push_back("One too many");
    PutNames(header, forty);
    EXPECT_FALSE(DecodeReferencedLibraryNames(header, names));
}

TEST_F(CourseHeader, FortyOneGuidsOrAListWithoutTerminatorAreRefused) {
    // The GUID list may run on past the name list's offset; it is bounded by the block.
    for (std::size_t i = 0; i < 40; ++i)
        PutGuidRecord(header, i, static_cast<std::uint8_t>(i + 1));
    ASSERT_TRUE(DecodeReferencedLibraryGuids(header, guids));
    EXPECT_EQ(guids.count, 40);
    EXPECT_EQ(guids.guids[39].Data1, 0x28282828u);

    PutGuidRecord(header, 40, 0x41);
    EXPECT_FALSE(DecodeReferencedLibraryGuids(header, guids));

    // From offset 268 on, 170 whole records fit the block: far more than a course may name.
    std::fill(header.begin() + GUID_LIST, header.end(), 0x77);
    EXPECT_FALSE(DecodeReferencedLibraryGuids(header, guids));
}

TEST_F(CourseHeader, NameOfTwoHundredFiftyFiveCharactersIsTheLongestAccepted) {
    PutNames(header, {std::string(255, 'a')});
    ASSERT_TRUE(DecodeReferencedLibraryNames(header, names));
    EXPECT_EQ(names.names[0].size(), 255u);

    PutNames(header, {"Short", std::string(256, 'b')});
    EXPECT_FALSE(DecodeReferencedLibraryNames(header, names));

    // 2196 bytes of text from offset 804 with no NUL: one name, far too long.
    std::fill(header.begin() + NAME_LIST, header.end(), 'z');
    EXPECT_FALSE(DecodeReferencedLibraryNames(header, names));
}

TEST_F(CourseHeader, ShortNameRunningToTheEndOfTheBlockEndsTheList) {
    // A short unterminated name in the last bytes of the block ends the list after it.
    Bytes last(COURSE_HEADER_SIZE + 8, 'q');
    std::fill(last.begin(), last.begin() + COURSE_HEADER_SIZE, 'x');
    std::size_t offset = NAME_LIST;
    int count = 0;
    while (offset + 201 < COURSE_HEADER_SIZE) {
        last[offset + 200] = 0;  // names of 200 'x'
        offset += 201;
        ++count;
    }
    ASSERT_TRUE(DecodeReferencedLibraryNames(last, names));
    EXPECT_EQ(names.count, count + 1);
    EXPECT_EQ(names.names[count], std::string(COURSE_HEADER_SIZE - offset, 'x'));
}

}  // namespace
}  // namespace parvane
