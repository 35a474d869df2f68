#include <gtest/gtest.h>

#include "platform/wine/Codepage.h"

namespace parvane::wine {
namespace {

TEST(Codepage, EuroSignAndAccentedLettersRoundTripThroughUtf8) {
    const std::string cp1252 = "\x80 caf\xE9";
    const std::string utf8 = Cp1252ToUtf8(cp1252);
    EXPECT_EQ(utf8, "\xE2\x82\xAC caf\xC3\xA9");
    std::string back;
    ASSERT_TRUE(Utf8ToCp1252(utf8, back));
    EXPECT_EQ(back, cp1252);
}

TEST(Codepage, CharacterOutsideTheCodePageIsRefused) {
    std::string out;
    EXPECT_FALSE(Utf8ToCp1252("\xE4\xB8\xAD", out));  // a CJK character
    EXPECT_FALSE(Utf16ToCp1252(u"\u0416", out));      // Cyrillic
}

TEST(Codepage, MalformedUtf8IsRefused) {
    std::string out;
    EXPECT_FALSE(Utf8ToCp1252("\xC3", out));
    EXPECT_FALSE(Utf8ToCp1252("\xFF", out));
}

TEST(Codepage, UndefinedBytesMapToControlCharactersAndBack) {
    const std::u16string wide = Cp1252ToUtf16("\x81\x9D");
    EXPECT_EQ(wide, u"\u0081\u009D");
    std::string back;
    ASSERT_TRUE(Utf16ToCp1252(wide, back));
    EXPECT_EQ(back, "\x81\x9D");
}

TEST(Codepage, FoldCaseCoversLatinOneLetters) {
    EXPECT_EQ(FoldCase(u'\u00E9'), u'\u00C9');
    EXPECT_EQ(FoldCase(u'\u00F7'), u'\u00F7');  // division sign has no case
    EXPECT_EQ(FoldCase(u'q'), u'Q');
}

}  // namespace
}  // namespace parvane::wine
