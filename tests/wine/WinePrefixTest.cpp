// Choosing the prefix and telling a prefix from any other folder.

#include <gtest/gtest.h>

#include "platform/wine/WinePrefix.h"
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

TEST(PrefixCheck, APrefixPassesAndWhatIsMissingIsNamed) {
    test::TestPrefix prefix;
    std::string message;
    EXPECT_TRUE(CheckPrefixFolder(prefix.Folder(), message)) << message;

    std::filesystem::remove(prefix.Folder() / "user.reg");
    EXPECT_FALSE(CheckPrefixFolder(prefix.Folder(), message));
    EXPECT_NE(message.find("'user.reg'"), std::string::npos) << message;

    EXPECT_FALSE(CheckPrefixFolder(prefix.Folder() / "absent", message));
    EXPECT_NE(message.find("does not exist"), std::string::npos) << message;
}

}  // namespace
}  // namespace parvane::wine
