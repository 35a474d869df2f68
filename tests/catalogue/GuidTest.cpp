#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "catalogue/Guid.h"

namespace parvane {
namespace {

using GuidBytes = std::array<std::uint8_t, 16>;

TEST(GuidText, FirstThreeFieldsAreLittleEndianAndTheRestInFileOrderInUpperCase) {
    GuidBytes high;
    high.fill(0xFE);  // no sign extension
    const struct {
        GuidBytes bytes;
        const char* text;
    } cases[] = {{GuidBytes{}, "{00000000-0000-0000-0000-000000000000}"},
                 {{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D,
                   0x0E, 0x0F, 0x10},
                  "{04030201-0605-0807-090A-0B0C0D0E0F10}"},
                 {high, "{FEFEFEFE-FEFE-FEFE-FEFE-FEFEFEFEFEFE}"}};
    for (const auto& item : cases) {
        EXPECT_EQ(GuidToText(GuidFromBytes(item.bytes.data())), item.text);
    }
}

TEST(GuidText, OnlyTheAllZeroGuidIsAnEmptySlot) {
    EXPECT_TRUE(IsZeroGuid(GuidFromBytes(GuidBytes{}.data())));
    for (std::size_t i = 0; i < 16; ++i) {
        GuidBytes bytes{};
        bytes[i] = 0x80;
        EXPECT_FALSE(IsZeroGuid(GuidFromBytes(bytes.data()))) << "byte " << i;
    }
}

}  // namespace
}  // namespace parvane
