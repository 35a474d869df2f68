// The numbers the program shows in its messages are Windows' own on every backend.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/Machine.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

class MachineStatus : public ::testing::Test {
  protected:
    test::TestMachine testMachine;
    Machine& machine = TheMachine();
    const std::string scratch = testMachine.ScratchFolder();
};

TEST_F(MachineStatus, MissingKeyExistingFolderAndMissingFileGiveWindowsNumbers) {
    KeyHandle key = 0;
    EXPECT_EQ(machine.OpenKey(Hive::LocalMachine, std::string(test::GAME_KEY) + "\\Missing", key),
              2u);
    EXPECT_EQ(machine.MakeFolder(scratch), 183u);
    Win32Error error = ERR_SUCCESS;
    EXPECT_EQ(machine.OpenFile(scratch + "\\missing.tcr", FileMode::Read, error), nullptr);
    EXPECT_EQ(error, 2u);
}

TEST_F(MachineStatus, UniqueTempFileInAMissingFolderIsNotADirectory) {
    std::string path;
    EXPECT_EQ(machine.UniqueTempFile(scratch + "\\missing", "PRV", path), ERR_DIRECTORY);
}

TEST_F(MachineStatus, ModulePathAndProcessListNameTheRunningProgram) {
    std::string path;
    ASSERT_EQ(machine.ModulePath(path), ERR_SUCCESS);
    const std::string image = path.substr(path.find_last_of('\\') + 1);
    EXPECT_EQ(image.rfind("parvane-platform-tests", 0), 0u) << path;

    // A host program on Linux has no .exe; its image name in the list may carry one.
    const std::string stem = UpperCase(image.substr(0, image.rfind(".exe")));
    std::vector<std::string> names;
    ASSERT_EQ(machine.ProcessImageNames(names), ERR_SUCCESS);
    EXPECT_TRUE(std::any_of(names.begin(), names.end(), [&stem](const std::string& name) {
        return UpperCase(name).rfind(stem, 0) == 0;
    })) << image;
}

}  // namespace
}  // namespace parvane
