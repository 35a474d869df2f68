// Start-up: the command line and the open dialog's selection into the queue, the programs
// Parvane refuses to run beside, and the steps that end the program with their messages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/StateFolder.h"
#include "catalogue/Catalogue.h"
#include "journal/JournalFile.h"
#include "properties/Properties.h"
#include "shell/CommandLine.h"
#include "shell/FileNameList.h"
#include "shell/RunningPrograms.h"
#include "shell/Startup.h"
#include "support/FaultInjectingMachine.h"
#include "support/ProcessStateResets.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

std::vector<std::string> QueuedPaths() {
    std::vector<std::string> paths;
    for (const FileNameEntry& entry : GetFileNameEntries())
        paths.push_back(entry.path);
    return paths;
}

class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override { faults.SetModulePath(folder + "\\Parvane.exe"); }
    void TearDown() override { ClearFileNameList(); }

    test::TestMachine machine;
    test::FaultInjectingMachine faults;
    ScriptedUserInterface ui;
    const std::string folder = machine.ScratchFolder();
};

// Started by a relative or a short (8.3) path, or named so, the program still knows itself.
TEST_F(StartupTest, TheProgramKnowsItselfByARelativeOrShortPath) {
    const std::string inner = folder + "\\Long Folder Name";
    const std::string program = inner + "\\Parvane Program.exe";
    machine.WriteFile(program, "x");
    machine.SetCurrentFolder(inner);
    const std::string shortPath = machine.ShortPath(program);
    for (const std::string& started : {program, shortPath}) {
        faults.SetModulePath(started);
        for (const std::string& text : {std::string("Parvane Program.exe"), program, shortPath}) {
            ASSERT_TRUE(QueueArchivesFromText(text));
            EXPECT_EQ(QueuedPaths(), std::vector<std::string>{}) << started << " / " << text;
        }
    }
}

// A command line, or the open dialog's selection of several files or of one.
TEST_F(StartupTest, ArchivesAreQueuedInOrderAndNeverTheProgramItself) {
    for (const char* name : {"Long Name.zip", "a.zip", "Parvane.exe"})
        machine.WriteFile(folder + "\\" + name, "x");
    const std::string program = "\"" + folder + "\\Parvane.exe\"";
    const struct {
        std::string text;
        std::vector<std::string> queued;
    } cases[] = {
        {program + " \"" + folder + "\\Long Name.zip\"  C:\\missing.tcl",
         {folder + "\\Long Name.zip", "C:\\missing.tcl"}},
        {program, {}},
        {folder + std::string("\0a.zip\0b.tcl\0", 14), {folder + "\\a.zip", folder + "\\b.tcl"}},
        {std::string("C:\\\0a.zip\0", 10), {"C:\\a.zip"}},
        {folder + "\\a.zip", {folder + "\\a.zip"}},
        {folder + "\\Parvane.exe", {}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(QueueArchivesFromText(c.text));
        EXPECT_EQ(QueuedPaths(), c.queued) << c.text;
    }
    ui.ExpectError(Containing("longer than 255 characters"));
    EXPECT_FALSE(QueueArchivesFromText("p.exe C:\\" + std::string(260, 'x') + ".zip"));
    EXPECT_EQ(CommandLineArguments(R"("C:\Program Files\Parvane.exe"   a.zip b)"), "a.zip b");
    EXPECT_EQ(CommandLineArguments(R"(C:\Parvane.exe)"), "");
}

TEST_F(StartupTest, TheGameInAnyCaseWinsOverASecondCopy) {
    const struct {
        std::vector<std::string> processes;
        bool conflict;
        bool anotherInstance;
    } cases[] = {
        {{"explorer.exe", "parvane.exe"}, false, false},
        {{"Parvane.exe", "PARVANE.EXE"}, false, true},
        {{"gv2006.Exe"}, true, false},
        {{"PARVANE.EXE", "CourseUtilities.exe", "parvane.exe"}, true, false},
    };
    for (const auto& c : cases) {
        faults.SetProcessImageNames(c.processes);
        bool anotherInstance = true;
        EXPECT_EQ(CheckRunningPrograms(anotherInstance), c.conflict) << c.processes.front();
        EXPECT_EQ(anotherInstance, c.anotherInstance) << c.processes.front();
    }
    faults.SetProcessImageNames({"PARVANE.EXE", "LC2006.EXE", "PARVANE.EXE"});
    ui.ExpectError(Containing("the architect, the library creator\nor the course manager"));
    EXPECT_FALSE(CheckProgramsAtStartup());
    faults.SetProcessImageNames({"PARVANE.EXE", "PARVANE.EXE"});
    ui.ExpectError(Containing("Parvane is already running on your system."));
    EXPECT_FALSE(CheckProgramsAtStartup());
}

TEST(StartupSteps, FailuresEndWithTheirMessages) {
    {
        test::TestMachine machine({.gameInstalled = false});
        ScriptedUserInterface ui;
        ui.ExpectError(Containing("you do not have any of the supported games installed"));
        ui.ExpectError("Error during registry initialization, the program will now exit.");
        EXPECT_FALSE(DetectGamesAtStartup());
    }
    test::TestMachine machine({.cloakingTool = true});
    machine.CreateKey(Hive::LocalMachine, std::string(test::GAME_KEY) + "\\Courses\\{X}");
    test::FaultInjectingMachine faults;
    faults.Inject({.call = test::MachineCall::OpenKey, .pathPart = "\\Courses\\{X}"});
    ScriptedUserInterface ui;
    ASSERT_TRUE(DetectGamesAtStartup());
    ui.ExpectError(Containing("RegOpenKeyEx returned"));
    ui.ExpectError("Error during data loading, the program will now exit.");
    EXPECT_FALSE(LoadCatalogueAtStartup());

    ResetProperties();
    machine.WriteFile(machine.ScratchFolder() + "\\Parvane.properties", "A = 1\n");
    faults.Inject({.call = test::MachineCall::StreamRead, .pathPart = "Parvane.properties"});
    ui.ExpectError(Containing("Parvane.properties"));
    ui.ExpectError("Error during property initialization, the program will now exit.");
    EXPECT_FALSE(LoadPropertiesAtStartup(machine.ScratchFolder()));
    ResetProperties();
}

// The front end's steps among the shared ones, in their order; the first that fails stops the
// rest: nothing is recovered beside a running game.
TEST(StartupSteps, RunInOrderAndStopAtTheFirstThatFails) {
    std::vector<std::string> steps;
    bool claimed = true;
    std::string propertiesFolder;
    const auto step = [&steps](const char* name) { return (steps.push_back(name), true); };
    const StartupHooks hooks{.claimGameFiles = [&] { return step("claim") && claimed; },
                             .refuseWithoutGame = [&] { step("no game"); },
                             .recovered = [&] { step("recovered"); },
                             .propertiesFolder =
                                 [&](std::string& folder) {
                                     folder = propertiesFolder;
                                     return step("properties");
                                 }};
    {
        test::TestMachine machine({.gameInstalled = false});
        ScriptedUserInterface ui;
        EXPECT_FALSE(StartProgram(hooks));
    }
    test::TestMachine machine;
    propertiesFolder = machine.ScratchFolder();
    machine.WriteFile(propertiesFolder + "\\" + PROPERTIES_FILE_NAME, "AskForFlag = 0\n");
    test::FaultInjectingMachine faults;
    ScriptedUserInterface ui;
    claimed = false;
    EXPECT_FALSE(StartProgram(hooks));
    claimed = true;
    // A journal that recovery would refuse with a box, were it read beside the running game.
    SetStateFolder(propertiesFolder);
    machine.WriteFile(JournalPath(), "not a journal\n");
    faults.SetProcessImageNames({"GV2006.EXE"});
    ui.ExpectError(Containing("is running on your system"));
    EXPECT_FALSE(StartProgram(hooks));
    EXPECT_TRUE(machine.FileExists(JournalPath()));
    SetStateFolder({});
    faults.SetProcessImageNames({});
    EXPECT_TRUE(StartProgram(hooks));
    EXPECT_EQ(steps, (std::vector<std::string>{"claim", "no game", "claim", "claim", "claim",
                                               "recovered", "properties"}));
    EXPECT_EQ(GetProperty(PROPERTY_ASK_FOR_FLAG), "0");
    ResetProperties();
    ForgetGameFolders();
    TheCatalogue() = Catalogue{};
}

}  // namespace
}  // namespace parvane
