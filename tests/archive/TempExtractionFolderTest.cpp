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

TEST_F(TempExtractionFolderTest, IsAUniqueNameInTheTemporaryFolderKeptForTheRun) {
    std::string tempFolder;
    ASSERT_EQ(TheMachine().TempPath(tempFolder), ERR_SUCCESS);

    const std::string folder = GetTempExtractionFolder();
    EXPECT_TRUE(StartsWithNoCase(folder, tempFolder + "PRV")) << folder;
    std::uint32_t attributes = 0;
    EXPECT_EQ(TheMachine().GetAttributes(folder, attributes), ERR_FILE_NOT_FOUND)
        << "the reserved file stands where the folder goes";

    EXPECT_EQ(TheMachine().MakeFolder(folder), ERR_SUCCESS);
    EXPECT_EQ(GetTempExtractionFolder(), folder);
    EXPECT_EQ(endStatus, -1);
}

TEST_F(TempExtractionFolderTest, EndsTheProcessWithoutATemporaryFolderOrUniqueName) {
    test::FaultInjectingMachine failing;
    failing.Inject({.call = test::MachineCall::TempPath, .error = ERR_ACCESS_DENIED});
    failing.Inject({.call = test::MachineCall::UniqueTempFile, .error = ERR_DISK_FULL});
    ui.ExpectError("Couldn't get temporary path, return code=5");
    EXPECT_EQ(GetTempExtractionFolder(), "");
    EXPECT_EQ(endStatus, 1);

    endStatus = -1;
    ui.ExpectError("Couldn't get temporary file, return code=112");
    EXPECT_EQ(GetTempExtractionFolder(), "");
    EXPECT_EQ(endStatus, 1);

    // Nothing was kept from the failed attempts.
    EXPECT_NE(GetTempExtractionFolder(), "");
}

TEST_F(TempExtractionFolderTest, EndsTheProcessWithStatusOneByDefault) {
    SetProcessEndHandler(nullptr);
    EXPECT_EXIT(
        {
            test::FaultInjectingMachine failing;
            failing.Inject({.call = test::MachineCall::TempPath, .error = ERR_ACCESS_DENIED});
            ui.ExpectError(Containing("Couldn't get temporary path"));
            GetTempExtractionFolder();
        },
        ::testing::ExitedWithCode(1), "");
}

}  // namespace
}  // namespace parvane
