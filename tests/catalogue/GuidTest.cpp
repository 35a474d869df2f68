#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "catalogue/Guid.h"

namespace parvane {
namespace {

TEST(GuidText, AllZeroGuidIsAnEmptySlot) {
    const std::array<std::uint8_t, 16> zero{};
    const GUID guid = GuidFromBytes(zero.data());
    EXPECT_TRUE(IsZeroGuid(guid));
    EXPECT_EQ(GuidToText(guid), "{00000000-0000-0000-0000-000000000000}");
}

TEST(GuidText, FirstThreeFieldsAreLittleEndianAndTheRestInFileOrder) {
    const std::array<std::uint8_t, 16> bytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                                                0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10};
    const GUID guid = GuidFromBytes(bytes.data());
    EXPECT_FALSE(IsZeroGuid(guid));
    EXPECT_EQ(GuidToText(guid), "{04030201-0605-0807-090A-0B0C0D0E0F10}");
}

TEST(GuidText, HighBytesPrintInUpperCaseWithoutSignExtension) {
    std::array<std::uint8_t, 16> bytes;
    bytes.fill(0xFE);
    EXPECT_EQ(GuidToText(GuidFromBytes(bytes.data())), "{FEFEFEFE-FEFE-FEFE-FEFE-FEFEFEFEFEFE}");
}

TEST(GuidText, OneNonZeroByteAnywhereMakesTheGuidNonZero) {
    for (std::size_t i = 0; i < 16; ++i) {
        std::array<std::uint8_t, 16> bytes{};
        bytes[i] = 0x80;
        EXPECT_FALSE(IsZeroGuid(GuidFromBytes(bytes.data()))) << "byte " << i;
    }
}

}  // namespace
}  // namespace parvane
