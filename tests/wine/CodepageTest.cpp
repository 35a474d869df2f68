#include <gtest/gtest.h>

#include "platform/wine/Codepage.h"

namespace parvane::wine {
namespace {

// Bytes the code page leaves undefined stand for the control characters of their number.
TEST(Codepage, EuroAccentsAndUndefinedBytesRoundTripAndOtherTextIsRefused) {
    const std::string cp1252 = "\x80 caf\xE9 \x81\x9D";
    EXPECT_EQ(Cp1252ToUtf8(cp1252), "\xE2\x82\xAC caf\xC3\xA9 \xC2\x81\xC2\x9D");
    std::string back;
    ASSERT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(cp1252), back));
    EXPECT_EQ(back, cp1252);
    ASSERT_TRUE(Utf16ToCp1252(Cp1252ToUtf16(cp1252), back));
    EXPECT_EQ(back, cp1252);
    for (const char* outside : {"\xE4\xB8\xAD", "\xD0\x96", "\xC3", "\xFF"}) {
        EXPECT_FALSE(Utf8ToCp1252(outside, back)) << outside;
    }
    EXPECT_EQ(FoldCase(u'\u00E9'), u'\u00C9');
    EXPECT_EQ(FoldCase(u'\u00F7'), u'\u00F7');  // division sign has no case
}

}  // namespace
}  // namespace parvane::wine
