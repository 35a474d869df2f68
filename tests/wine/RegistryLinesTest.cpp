#include <gtest/gtest.h>

#include <string>

#include "platform/Win32Codes.h"
#include "platform/wine/registry/RegistryParser.h"
#include "platform/wine/registry/RegistryText.h"
#include "platform/wine/registry/RegistryWriter.h"

namespace parvane::wine {
namespace {

const std::string HEAD = "WINE REGISTRY Version 2\n\n";

std::u16string TextOf(const HiveValue& value) {
    const std::u16string text = BytesToUtf16(value.data);
    return text.substr(0, text.find(u'\0'));
}

// Keys out of Wine's order are put in order among their siblings, and the file still comes
// back as it was.
TEST(RegistryLines, KeysOutOfOrderAreFoundInNameOrder) {
    const std::string text = HEAD +
                             "[K\\\\b] 1\n\"v\"=\"b\"\n\n[K\\\\D] 1\n\n[K\\\\a] 1\n\n"
                             "[K\\\\c] 1\n\n[K\\\\B] 1\n\"v\"=\"B\"\n";
    HiveTree tree;
    ParseError error;
    ASSERT_TRUE(ParseHive(text, tree, error)) << error.reason;
    const HiveKey& k = *FindSubkey(tree.Root(), u"k");
    std::u16string names;
    for (const auto& subkey : k.subkeys) {
        names += std::u16string(subkey->name) + u" ";
    }
    EXPECT_EQ(names, u"a b c D ");  // "[K\\B]" is the second section of "b"
    EXPECT_EQ(TextOf(*FindValue(*FindSubkey(k, u"B"), u"V")), u"B");
    EXPECT_EQ(FormatHive(tree),
              HEAD +
                  "[K\\\\b] 1\n#time=19db1ded5d71680\n\"v\"=\"B\"\n\n[K\\\\D] 1\n\n[K\\\\a] 1\n\n"
                  "[K\\\\c] 1\n");
}

// Keys are found from the path a key shares with the one before it, also where an escape
// stands for the backslash between two names.
TEST(RegistryLines, KeysFollowingEachOtherShareTheirParents) {
    HiveTree tree;
    ParseError error;
    ASSERT_TRUE(ParseHive(HEAD + "[A\\\\B] 1\n\n[A\\\\B\\\\C] 1\n\n[A\\x5cQ] 1\n\n"
                                 "[A\\x5cQ\\\\E] 1\n\n[A\\\\BC] 1\n",
                          tree, error))
        << error.reason;
    const HiveKey& a = *FindSubkey(tree.Root(), u"A");
    ASSERT_EQ(a.subkeys.size(), 3u);
    EXPECT_NE(FindSubkey(*FindSubkey(a, u"B"), u"C"), nullptr);
    EXPECT_NE(FindSubkey(*FindSubkey(a, u"Q"), u"E"), nullptr);
    EXPECT_NE(FindSubkey(a, u"BC"), nullptr);
}

// A key that changes takes its values out of its lines first; its siblings keep theirs.
TEST(RegistryLines, ValuesStayWhenTheirKeyOrASiblingChanges) {
    const std::string text = HEAD +
                             "[A] 1\n\"x\"=\"1\"\n\"bin\"=hex:01,\\\n  02\n\"x\"=\"2\"\n\n"
                             "[A\\\\B] 2\n@=\"b\"\n\n[A\\\\C] 3\n\"n\"=dword:00000007\n";
    HiveTree tree;
    ParseError error;
    ASSERT_TRUE(ParseHive(text, tree, error)) << error.reason;
    HiveKey& a = *FindSubkey(tree.Root(), u"A");
    EXPECT_EQ(TextOf(*FindValue(a, u"X")), u"2");  // the later of two lines
    EXPECT_EQ(FindValue(a, u"bin")->data, std::string("\x01\x02"));

    const FileTime now = FileTimeFromUnixSeconds(1796544000);
    tree.CreateSubkey(a, u"A0", now);
    HiveKey& b = *FindSubkey(a, u"B");
    ASSERT_TRUE(tree.SetValue(
        b, HiveValue{u"", REGTYPE_SZ, Utf16ToBytes(std::u16string(u"new") + u'\0')}, now));
    EXPECT_EQ(TextOf(*FindValue(a, u"x")), u"2");
    EXPECT_EQ(TextOf(*FindValue(b, u"")), u"new");
    EXPECT_EQ(FindValue(*FindSubkey(a, u"C"), u"n")->type, REGTYPE_DWORD);
    const std::string written = FormatHive(tree);
    EXPECT_NE(
        written.find("[A] 1796544000\n#time=1dd8557caad8000\n\"bin\"=hex:01,02\n\"x\"=\"2\"\n"),
        std::string::npos)
        << written;
    EXPECT_NE(written.find("\n[A\\\\C] 3\n\"n\"=dword:00000007\n"), std::string::npos) << written;
}

// Value lines are checked whole when the file is read, though they are decoded only later.
TEST(RegistryLines, MalformedValueLineIsRefusedAtItsLine) {
    const std::string key = HEAD + "[A] 1\n\"ok\"=\"a\\\\\\\\\"\n";
    const std::string broken[] = {
        "\"v\"=\"ends escaped\\\"\n", "\"v\\\"=\"1\"\n", "\"v\" \"1\"\n", "\"v\"=dword:123456789\n",
        "\"v\"=hex(2:00\n",           "\"v\"=hex:0g\n",  "@=nothing\n",
    };
    for (const std::string& line : broken) {
        SCOPED_TRACE(line);
        HiveTree tree;
        ParseError error;
        EXPECT_FALSE(ParseHive(key + line + "\n[B] 1\n", tree, error));
        EXPECT_EQ(error.line, 5u) << error.reason;
    }
    HiveTree tree;
    ParseError error;
    ASSERT_TRUE(ParseHive(key, tree, error)) << error.reason;
    EXPECT_EQ(TextOf(*FindValue(*FindSubkey(tree.Root(), u"A"), u"ok")), u"a\\\\");
}

}  // namespace
}  // namespace parvane::wine
