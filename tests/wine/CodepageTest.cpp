// Code page 1252 as the terminal and the host's file names read it.

#include <gtest/gtest.h>

#include "platform/wine/text/Codepage.h"

namespace parvane::wine {
namespace {

// Runs of ASCII stay as they are; every other byte becomes its own character, those the code
// page leaves undefined the C1 control of the same value.
TEST(Codepage, EachByteBecomesItsCharacterWithinAndAroundRunsOfAscii) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"
                           "ab\xE2"
                           "c\x81\xFF"),
              "\xE2\x82\xAC"
              "ab\xC3\xA2"
              "c\xC2\x81\xC3\xBF");
    EXPECT_EQ(Cp1252ToUtf8("C:\\Games\\Pine"), "C:\\Games\\Pine");
    EXPECT_EQ(Cp1252ToUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(Cp1252ToUtf8(""), "");
}

}  // namespace
}  // namespace parvane::wine
