#include <gtest/gtest.h>

#include <string>

#include "base/GameFolders.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/GameDetection.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

using test::TestMachine;
using test::TestMachineOptions;

TestMachineOptions Products(bool game, bool cloakingTool) {
    TestMachineOptions options;
    options.gameInstalled = game;
    options.cloakingTool = cloakingTool;
    return options;
}

class GameDetection : public testing::Test {
  protected:
    GameDetection() { ForgetGameFolders(); }
    ~GameDetection() override {
        ForgetGameFolders();
        TheCatalogue().supportedGames.clear();
    }
    ScriptedUserInterface ui;
};

TEST_F(GameDetection, CloakingToolAloneIsEnough) {
    TestMachine machine(Products(false, true));
    ASSERT_TRUE(DetectSupportedGames());
    ASSERT_EQ(TheCatalogue().supportedGames.size(), 1u);
    EXPECT_EQ(TheCatalogue().supportedGames[0].kind, GAME_KIND_CLOAK_TOOL);
    EXPECT_TRUE(IsCloakingToolPresent());
}

TEST_F(GameDetection, GameComesBeforeTheCloakingTool) {
    TestMachine machine(Products(true, true));
    ASSERT_TRUE(DetectSupportedGames());
    ASSERT_EQ(TheCatalogue().supportedGames.size(), 2u);
    EXPECT_EQ(TheCatalogue().supportedGames[0].kind, GAME_KIND_GAME);
    EXPECT_EQ(TheCatalogue().supportedGames[1].kind, GAME_KIND_CLOAK_TOOL);
}

TEST_F(GameDetection, NeitherProductFailsWithTheMessage) {
    TestMachine machine(Products(false, false));
    ui.ExpectError(
        "Parvane has detected that you do not have any of the supported games installed.\n"
        "The supported games are:\n\n- Greenvale 06\n\nParvane will now exit.");
    EXPECT_FALSE(DetectSupportedGames());
    EXPECT_FALSE(IsCloakingToolPresent());
}

TEST_F(GameDetection, InstallFolderIsReadOnceAndKeptForTheRun) {
    TestMachine machine;
    const std::string first = GetGameInstallDir();
    EXPECT_EQ(first, machine.GameInstallDir());
    machine.SetString(Hive::LocalMachine, GAME_ROOT, GAME_INSTALL_DIR_VALUE, "D:\\Elsewhere");
    EXPECT_EQ(GetGameInstallDir(), first);
}

TEST_F(GameDetection, FolderTextLongerThanTheBufferStaysUnknownAndIsReadAgain) {
    TestMachine machine;
    const std::string fits = "C:\\" + std::string(252, 'f');  // 255 characters and the NUL
    machine.SetString(Hive::CurrentUser, SHELL_FOLDERS_KEY, PERSONAL_FOLDER_VALUE, fits + "x");
    EXPECT_EQ(GetPersonalFolder(), "");
    machine.SetString(Hive::CurrentUser, SHELL_FOLDERS_KEY, PERSONAL_FOLDER_VALUE, fits);
    EXPECT_EQ(GetPersonalFolder(), fits);
}

}  // namespace
}  // namespace parvane
