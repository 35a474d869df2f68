#include <gtest/gtest.h>

#include <vector>

#include "base/GameFolders.h"
#include "catalogue/Catalogue.h"
#include "catalogue/GameDetection.h"
#include "support/ProcessStateResets.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

using test::TestMachine;

class GameDetection : public testing::Test {
  protected:
    GameDetection() { ForgetGameFolders(); }
    ~GameDetection() override {
        ForgetGameFolders();
        TheCatalogue().supportedGames.clear();
    }
    ScriptedUserInterface ui;
};

// The game comes before the cloaking tool, which alone is enough; neither ends the program.
TEST_F(GameDetection, EachProductFoundIsListedInOrder) {
    const struct {
        bool game;
        bool cloakingTool;
        std::vector<int> kinds;
    } cases[] = {{false, true, {GAME_KIND_CLOAK_TOOL}},
                 {true, true, {GAME_KIND_GAME, GAME_KIND_CLOAK_TOOL}},
                 {false, false, {}}};
    for (const auto& c : cases) {
        TestMachine machine({.gameInstalled = c.game, .cloakingTool = c.cloakingTool});
        if (c.kinds.empty()) {
            ui.ExpectError(
                "Parvane has detected that you do not have any of the supported games "
                "installed.\nThe supported games are:\n\n- Greenvale 06\n\nParvane will now "
                "exit.");
        }
        EXPECT_EQ(DetectSupportedGames(), !c.kinds.empty());
        std::vector<int> kinds;
        for (const GameEntry& entry : TheCatalogue().supportedGames) {
            kinds.push_back(entry.kind);
        }
        EXPECT_EQ(kinds, c.kinds);
        EXPECT_EQ(IsCloakingToolPresent(), c.cloakingTool);
        TheCatalogue().supportedGames.clear();
    }
}

}  // namespace
}  // namespace parvane
