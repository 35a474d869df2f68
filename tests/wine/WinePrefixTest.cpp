// Choosing the prefix and telling a prefix from any other folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "platform/wine/WinePrefix.h"
#include "support/wine/TestPrefix.h"

namespace parvane::wine {
namespace {

class PrefixChoice : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"WINEPREFIX", "HOME"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name,
                               value != nullptr ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(PrefixChoice, CommandLineThenEnvironmentThenHome) {
    setenv("WINEPREFIX", "/srv/games/wine", 1);
    setenv("HOME", "/home/golfer", 1);
    EXPECT_EQ(ChoosePrefixFolder("/opt/prefix"), "/opt/prefix");
    EXPECT_EQ(ChoosePrefixFolder(""), "/srv/games/wine");
    unsetenv("WINEPREFIX");
    EXPECT_EQ(ChoosePrefixFolder(""), "/home/golfer/.wine");
}

TEST(PrefixCheck, APrefixPassesAndWhatIsMissingIsNamed) {
    test::TestPrefix prefix;
    std::string message;
    EXPECT_TRUE(CheckPrefixFolder(prefix.Folder(), message)) << message;

    std::filesystem::remove(prefix.Folder() / "user.reg");
    EXPECT_FALSE(CheckPrefixFolder(prefix.Folder(), message));
    EXPECT_NE(message.find("'user.reg'"), std::string::npos) << message;

    std::filesystem::remove(prefix.Folder() / "dosdevices" / "c:");
    std::filesystem::remove(prefix.Folder() / "dosdevices" / "z:");
    std::filesystem::remove(prefix.Folder() / "dosdevices");
    EXPECT_FALSE(CheckPrefixFolder(prefix.Folder(), message));
    EXPECT_NE(message.find("'dosdevices'"), std::string::npos) << message;

    EXPECT_FALSE(CheckPrefixFolder(prefix.Folder() / "absent", message));
    EXPECT_NE(message.find("does not exist"), std::string::npos) << message;
}

}  // namespace
}  // namespace parvane::wine
