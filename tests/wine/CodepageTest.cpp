#include <gtest/gtest.h>

#include "platform/wine/Codepage.h"

namespace parvane::wine {
namespace {

TEST(Codepage, EuroAccentsAndUndefinedBytesRoundTrip) {
    const std::string cp1252 = "\x80 caf\xE9";
    EXPECT_EQ(Cp1252ToUtf8(cp1252), "\xE2\x82\xAC caf\xC3\xA9");
    std::string back;
    ASSERT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(cp1252), back));
    EXPECT_EQ(back, cp1252);
    // Bytes the code page leaves undefined stand for the control characters of their number.
    EXPECT_EQ(Cp1252ToUtf16("\x81\x9D"), u"\u0081\u009D");
    ASSERT_TRUE(Utf16ToCp1252(u"\u0081\u009D", back));
    EXPECT_EQ(back, "\x81\x9D");
}

TEST(Codepage, TextOutsideTheCodePageOrMalformedIsRefused) {
    std::string out;
    EXPECT_FALSE(Utf8ToCp1252("\xE4\xB8\xAD", out));  // a CJK character
    EXPECT_FALSE(Utf16ToCp1252(u"\u0416", out));      // Cyrillic
    EXPECT_FALSE(Utf8ToCp1252("\xC3", out));
    EXPECT_FALSE(Utf8ToCp1252("\xFF", out));
}

TEST(Codepage, FoldCaseCoversLatinOneLetters) {
    EXPECT_EQ(FoldCase(u'\u00E9'), u'\u00C9');
    EXPECT_EQ(FoldCase(u'\u00F7'), u'\u00F7');  // division sign has no case
    EXPECT_EQ(FoldCase(u'q'), u'Q');
}

}  // namespace
}  // namespace parvane::wine
