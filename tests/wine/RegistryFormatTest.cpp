#include <gtest/gtest.h>

#include <string>

#include "platform/Win32Codes.h"
#include "platform/wine/registry/RegistryParser.h"
#include "platform/wine/registry/RegistryText.h"
#include "platform/wine/registry/RegistryWriter.h"

namespace parvane::wine {
namespace {

// Lines as Wine 8 wrote them (taken from a prefix after `wine reg add`), with the forms the
// format allows: escaped key names, #class, #link, default values, escapes, str(2), str(7),
// dword, hex with continuation lines, hex(N).
const std::string WINE_TEXT =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Quorlix\\\\Caf\\xe9] 1796544118\n"
    "#time=1dd8558110cd050\n"
    "\"N\\xe4m\\xe9\"=\"\\x00e99 \\xe9x caf\\xe9z\"\n"
    "\n"
    "[Software\\\\Quorlix\\\\Order\\\\\\[br] 1796544097\n"
    "#time=1dd855804f0d0d2\n"
    "#class=\"Parvane\"\n"
    "@=\"\"\n"
    "\n"
    "[Software\\\\Quorlix\\\\Vals] 1796544098\n"
    "#time=1dd85580595268c\n"
    "@=\"def\"\n"
    "\"_v\"=\"u\"\n"
    "\"Av\"=\"a\"\n"
    "\"Bin\"=hex:00,11,22,33,44,55,66,77,88,99,aa,bb,cc,dd,ee,ff,00,11,22,33,44,55,66,\\\n"
    "  77,88,99,aa,bb,cc,dd,ee,ff,00,11,22,33,44,55,66,77,88,99\n"
    "\"bv\"=\"b\"\n"
    "\"Dw\"=dword:12345678\n"
    "\"Esc\"=\"back\\\\slash \\\"quoted\\\" a\\nb\\tc\\ed\"\n"
    "\"Exp\"=str(2):\"%WINDIR%\\\\x\"\n"
    "\"Multi\"=str(7):\"one\\0two\\0\"\n"
    "\"Music\"=hex(1):\n"
    "\"Q\"=\"a\\\"b\"\n"
    "\n"
    "[Software\\\\Wow6432Node\\\\Registered Applications] 1796543981\n"
    "#time=1dd8557bfd91b08\n"
    "#link\n"
    "\"SymbolicLinkValue\"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,\\\n"
    "  00,5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,6f,00,66,00,\\\n"
    "  74,00,77,00,61,00,72,00,65,00\n";

HiveKey* FindPath(HiveTree& tree, std::initializer_list<std::u16string_view> names) {
    HiveKey* key = &tree.Root();
    for (std::u16string_view name : names) {
        key = key != nullptr ? FindSubkey(*key, name) : nullptr;
    }
    return key;
}

class ParsedWineText : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(ParseHive(WINE_TEXT, tree, error)) << error.reason; }
    HiveTree tree;
    ParseError error;
};

// Saved unchanged, or with a value set to the data it holds, the text is the same bytes; every
// key rewritten in Wine's layout gives its own lines.
TEST_F(ParsedWineText, UnchangedTextIsSavedAsTheSameBytes) {
    EXPECT_EQ(FormatHive(tree), WINE_TEXT);
    for (const HiveKey* key : tree.KeysInFileOrder()) {
        if (!key->originalText.empty()) {
            EXPECT_EQ(FormatKey(*key), key->originalText);
        }
    }
    HiveKey* vals = FindPath(tree, {u"Software", u"Quorlix", u"Vals"});
    HiveValue same = *FindValue(*vals, u"Dw");
    EXPECT_FALSE(tree.SetValue(*vals, same, 0x1dd8560000000000));
    EXPECT_FALSE(tree.dirty);
    EXPECT_EQ(FormatHive(tree), WINE_TEXT);
}

TEST(RegistryFormat, HandWrittenTextWithCommentsAndCrLfComesBackUnchanged) {
    const std::string text =
        "WINE REGISTRY Version 2\r\n"
        "[B] 10\r\n"
        "; about C\r\n"
        "\r\n"
        "  [A\\\\C] 12\r\n"
        "\"w\" = dword:1\n"
        "[A] 11\n"
        "@=\"x\"\n";
    HiveTree tree;
    ParseError error;
    ASSERT_TRUE(ParseHive(text, tree, error)) << error.reason;
    EXPECT_EQ(FormatHive(tree), text);
    EXPECT_EQ(tree.arch, "");
}

TEST(RegistryFormat, EscapesReadAcceptRawUtf8AndOctalAndAreWrittenAsWineDoes) {
    const std::string line = "caf\xC3\xA9 \\101\\x41g\"rest";
    std::size_t pos = 0;
    std::u16string text;
    ASSERT_TRUE(ReadEscapedString(line, pos, '"', text));
    EXPECT_EQ(text, u"caf\u00e9 AAg");
    EXPECT_EQ(line.substr(pos), "rest");
    pos = 0;
    EXPECT_FALSE(ReadEscapedString("no end\\\"", pos, '"', text));
    // A hex or octal escape is written in full where a digit follows it.
    std::string out;
    AppendEscapedString(
        u"a\u00e9b\u00e9g\x01"
        u"7[\\",
        "[]", out);
    EXPECT_EQ(out, "a\\x00e9b\\xe9g\\0017\\[\\\\");
}

TEST(RegistryFormat, UnparseableTextFailsAtItsLine) {
    const std::string head = "WINE REGISTRY Version 2\n\n";
    const std::pair<std::string, std::size_t> broken[] = {
        {"WINE REGISTRY Version 3\n", 1},
        {head + "\"v\"=\"value before any key\"\n", 3},
        {head + "[A] 1\n\"v\"=\"unterminated\n", 4},
        {head + "[A] 1\n\"v\"=hex:00,01,\\\n  02,zz\n", 5},
    };
    for (const auto& [text, line] : broken) {
        SCOPED_TRACE(text);
        HiveTree tree;
        ParseError error;
        EXPECT_FALSE(ParseHive(text, tree, error));
        EXPECT_EQ(error.line, line) << error.reason;
        EXPECT_FALSE(error.reason.empty());
    }
}

}  // namespace
}  // namespace parvane::wine
