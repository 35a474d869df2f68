// Choosing the prefix.

#include <gtest/gtest.h>

#include "platform/wine/paths/WinePrefix.h"
#include "support/wine/TestPrefix.h"

namespace parvane::wine {
namespace {

TEST(PrefixChoice, CommandLineThenEnvironmentThenHome) {
    test::ScopedVariable prefix("WINEPREFIX", "/srv/games/wine");
    test::ScopedVariable home("HOME", "/home/golfer");
    EXPECT_EQ(ChoosePrefixFolder("/opt/prefix"), "/opt/prefix");
    EXPECT_EQ(ChoosePrefixFolder(""), "/srv/games/wine");
    test::ScopedVariable noPrefix("WINEPREFIX", std::nullopt);
    EXPECT_EQ(ChoosePrefixFolder(""), "/home/golfer/.wine");
}

}  // namespace
}  // namespace parvane::wine
