#include <gtest/gtest.h>

#include <string>

#include "archive/EntryNames.h"

namespace parvane {
namespace {

TEST(EntryNames, WindowsDropsTrailingDotsAndSpaces) {
    EXPECT_EQ(WindowsFileName("readme.txt. . "), "readme.txt");
    EXPECT_EQ(WindowsFileName("course.tcr..."), "course.tcr");
    EXPECT_EQ(WindowsFileName(" lead.txt"), " lead.txt");
    EXPECT_EQ(WindowsFileName("..."), "");
}

TEST(EntryNames, PlainNamesAreSafe) {
    for (const char* name : {"course.tcr", "hole1.mp3", "Console.txt", "COM10.txt", "LPT0",
                             "CONIN.txt", "nul_file.bin", "a..b", " lead.txt", "\xE9t\xE9.txt"}) {
        EXPECT_EQ(UnsafeFileNameReason(name), "") << name;
    }
}

// Components that could leave the folder or that Windows cannot take, device names with any
// extension and case among them.
TEST(EntryNames, UnsafeComponentsAreRefused) {
    for (const char* name :
         {"",         ".",          "..",         "...",      " . ",         "..\\..\\x.dll",
          "C:x.dll",  "a:b",        "a*b",        "a?b",      "a<b",         "a>b",
          "a|b",      "a\"b",       "tab\tname",  "bell\x07", "\x1F",        "CON",
          "con",      "Prn.txt",    "aux.tar.gz", "NUL",      "nul.",        "COM1",
          "com9.log", "LPT1",       "lpt9.dll",   "CONIN$",   "conout$.txt", "CON .txt",
          "COM\xB9",  "lpt\xB2.txt"}) {
        EXPECT_NE(UnsafeFileNameReason(name), "") << PrintableName(name);
    }
    EXPECT_EQ(PrintableName(std::string("a\nb\0c", 5)), "a?b?c");
}

}  // namespace
}  // namespace parvane
