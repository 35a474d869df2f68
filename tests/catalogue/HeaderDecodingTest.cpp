#include <gtest/gtest.h>

#include <algorithm>
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
    const Bytes high(16, 0xFE);
    EXPECT_EQ(GuidToText(GuidFromBytes(high.data())), "{FEFEFEFE-FEFE-FEFE-FEFE-FEFEFEFEFEFE}");

    block.pop_back();
    EXPECT_FALSE(DecodeNameAndGuid(block, result));

    Bytes unended(NAME_BLOCK_SIZE + 10, 'n');  // bytes after 80 must not join the name
    ASSERT_TRUE(DecodeNameAndGuid(unended, result));
    EXPECT_EQ(result.name, std::string(58, 'n'));
}

// Forty references and names of 255 characters are the most accepted.
TEST(CourseHeader, ListsBeyondTheirCapacityAreRefused) {
    Bytes header(COURSE_HEADER_SIZE, 0);
    ReferencedNames names;
    std::vector<std::string> forty = {std::string(255, 'a')};
    while (forty.size() < static_cast<std::size_t>(MAX_REFERENCED_LIBRARIES)) {
        forty.push_back("Library " + std::to_string(forty.size()));
    }
    PutNames(header, forty);
    ASSERT_TRUE(DecodeReferencedLibraryNames(header, names));
    EXPECT_EQ(names.count, 40);
    EXPECT_EQ(names.names[0].size(), 255u);
    forty.push_back("One too many");
    PutNames(header, forty);
    EXPECT_FALSE(DecodeReferencedLibraryNames(header, names));
    PutNames(header, {"Short", std::string(256, 'b')});
    EXPECT_FALSE(DecodeReferencedLibraryNames(header, names));

    // The GUID list may run on past the name list's offset; it is bounded by the block.
    header.assign(COURSE_HEADER_SIZE, 0);
    for (std::size_t i = 0; i <= 40; ++i) {
        // A record of non-zero bytes: one more reference.
        std::fill_n(header.begin() + static_cast<std::ptrdiff_t>(GUID_LIST + 16 * i), 16, 0xAB);
        ReferencedGuids guids;
        EXPECT_EQ(DecodeReferencedLibraryGuids(header, guids), i < 40) << i;
    }
}

}  // namespace
}  // namespace parvane
