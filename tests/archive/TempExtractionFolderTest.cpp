#include <gtest/gtest.h>

#include <string>

#include "archive/Folders.h"
#include "base/AsciiCase.h"
#include "support/FaultInjectingMachine.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

int endStatus = -1;

class TempExtractionFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ForgetTempExtractionFolder();
        endStatus = -1;
        SetProcessEndHandler([](int status) { endStatus = status; });
    }
    void TearDown() override {
        SetProcessEndHandler(nullptr);
        ForgetTempExtractionFolder();
    }

    test::TestMachine machine;
    ScriptedUserInterface ui;
};

// Without a temporary folder the process ends; the name found next is kept for the run.
TEST_F(TempExtractionFolderTest, EndsTheProcessWithoutATemporaryFolder) {
    {
        test::FaultInjectingMachine failing;
        failing.Inject({.call = test::MachineCall::TempPath, .error = ERR_ACCESS_DENIED});
        ui.ExpectError("Couldn't get temporary path, return code=5");
        EXPECT_EQ(GetTempExtractionFolder(), "");
        EXPECT_EQ(endStatus, 1);
    }
    std::string tempFolder;
    ASSERT_EQ(TheMachine().TempPath(tempFolder), ERR_SUCCESS);
    const std::string folder = GetTempExtractionFolder();
    EXPECT_TRUE(StartsWithNoCase(folder, tempFolder + "PRV")) << folder;
    EXPECT_EQ(GetTempExtractionFolder(), folder);
}

}  // namespace
}  // namespace parvane
