#include <gtest/gtest.h>

#include <string>

#include "archive/Folders.h"
#include "base/AsciiCase.h"
#include "platform/Machine.h"
#include "support/FaultInjectingMachine.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

int endStatus = -1;
void RecordEnd(int status) {
    endStatus = status;
}

class TempExtractionFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ForgetTempExtractionFolder();
        endStatus = -1;
        SetProcessEndHandler(RecordEnd);
    }
    void TearDown() override {
        SetProcessEndHandler(nullptr);
        ForgetTempExtractionFolder();
    }

    test::TestMachine machine;
    ScriptedUserInterface ui;
};

// Without a temporary folder or a unique name the process ends; nothing of the failed attempts
// is kept, and the next name found is kept for the run.
TEST_F(TempExtractionFolderTest, EndsTheProcessWithoutAUniqueNameInTheTemporaryFolder) {
    {
        test::FaultInjectingMachine failing;
        failing.Inject({.call = test::MachineCall::TempPath, .error = ERR_ACCESS_DENIED});
        failing.Inject({.call = test::MachineCall::UniqueTempFile, .error = ERR_DISK_FULL});
        ui.ExpectError("Couldn't get temporary path, return code=5");
        EXPECT_EQ(GetTempExtractionFolder(), "");
        EXPECT_EQ(endStatus, 1);
        ui.ExpectError("Couldn't get temporary file, return code=112");
        EXPECT_EQ(GetTempExtractionFolder(), "");
    }
    std::string tempFolder;
    ASSERT_EQ(TheMachine().TempPath(tempFolder), ERR_SUCCESS);
    const std::string folder = GetTempExtractionFolder();
    EXPECT_TRUE(StartsWithNoCase(folder, tempFolder + "PRV")) << folder;
    EXPECT_EQ(TheMachine().MakeFolder(folder), ERR_SUCCESS);  // the reserved file is gone
    EXPECT_EQ(GetTempExtractionFolder(), folder);
}

}  // namespace
}  // namespace parvane
