#include <gtest/gtest.h>

#include <string>

#include "archive/EntryNames.h"

namespace parvane {
namespace {

// Components that could leave the folder or that Windows cannot take, device names with any
// extension and case among them.
TEST(EntryNames, UnsafeComponentsAreRefused) {
    for (const char* name : {"", ".", "..", " . ", "..\\..\\x.dll", "C:x.dll", "a*b", "a?b", "a|b",
                             "tab\tname", "con", "Prn.txt", "aux.tar.gz", "nul.", "com9.log",
                             "lpt9.dll", "conout$.txt", "CON .txt", "COM\xB9"}) {
        EXPECT_NE(UnsafeFileNameReason(name), "") << PrintableName(name);
    }
    EXPECT_EQ(PrintableName(std::string("a\nb\0c", 5)), "a?b?c");
}

}  // namespace
}  // namespace parvane
