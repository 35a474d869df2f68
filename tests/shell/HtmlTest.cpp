#include <gtest/gtest.h>

#include "shell/Html.h"

namespace parvane {
namespace {

TEST(HtmlHandler, QuotedCommandYieldsThePathBetweenTheQuotes) {
    EXPECT_EQ(HandlerPathOfCommand("\"C:\\Program Files\\Web Browser\\browse.exe\" -url \"%1\""),
              "C:\\Program Files\\Web Browser\\browse.exe");
    EXPECT_EQ(HandlerPathOfCommand("\"C:\\Program Files\\browse.exe -url %1"), "");
}

TEST(HtmlHandler, UnquotedCommandYieldsItsFirstWord) {
    EXPECT_EQ(HandlerPathOfCommand("C:\\Windows\\browse.exe -nohome %1"),
              "C:\\Windows\\browse.exe");
    EXPECT_EQ(HandlerPathOfCommand("C:\\Windows\\browse.exe"), "C:\\Windows\\browse.exe");
}

}  // namespace
}  // namespace parvane
