// A package installed by the Wine backend must reach the game as the Windows build installs
// it: Wine's own reg tool reads the values the game reads, and the Windows build, installing
// the same package under wine, writes the same values and the same files byte for byte. Runs in
// the wine suite's throwaway prefix (WINEPREFIX), with `wine` on the path and the Windows
// build's package installer in PARVANE_PACKAGE_INSTALLER.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "archive/Folders.h"
#include "base/GameFolders.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueLoading.h"
#include "catalogue/GameDetection.h"
#include "installer/InstallArchive.h"
#include "interop/WineCommands.h"
#include "platform/wine/PathMapping.h"
#include "platform/wine/WineMachine.h"
#include "properties/Properties.h"
#include "support/InstallFixture.h"
#include "support/ScriptedUserInterface.h"
#include "support/ZipFiles.h"

namespace parvane::test {
namespace {

constexpr std::uint32_t COURSE = 0x1A7E;
constexpr std::uint32_t LIBRARY = 0x1A7F;
const std::string FOLDER = "C:\\Interop";
const std::string TARGET = FOLDER + "\\Greenvale 06";
const std::string ARCHIVE = FOLDER + "\\Interop Links.zip";
const std::string COURSE_FOLDER = TARGET + "\\courses\\Interop Links";
const std::string CADDY_BOOK = "Greenvale 06\\Course Notes\\Interop Links.tcn";

// The values the game reads, each with what it must hold; none empty, so that wine's reg tool
// can show each one.
const std::vector<std::pair<const char*, std::string>> COURSE_VALUES = {
    {"Name", "Interop Links"},
    {"Filename", COURSE_FOLDER + "\\Interop Links.tcr"},
    {"Flag", COURSE_FOLDER + "\\flag.dds"},
    {"Logo", COURSE_FOLDER + "\\logo.dds"},
    {"Audio", COURSE_FOLDER + "\\"},
    {"Music", COURSE_FOLDER + "\\theme.mp3"},
    {"Picture", COURSE_FOLDER + "\\splash.bmp"},
    {"Text", COURSE_FOLDER + "\\readme.txt"}};
const std::vector<std::pair<const char*, std::string>> LIBRARY_VALUES = {
    {"Name", "Interop Trees"}, {"Filename", COURSE_FOLDER + "\\Interop Trees.tcl"}};

std::vector<ZipFileEntry> PackageEntries() {
    return {{"Interop Links/Interop Links.tcr",
             CourseData("Interop Links", COURSE, {{LIBRARY, "Interop Trees"}})},
            {"Interop Links/Interop Trees.tcl", LibraryData("Interop Trees", LIBRARY)},
            {"Interop Links/flag.dds", "flag"},
            {"Interop Links/logo.dds", "logo"},
            {"Interop Links/theme.mp3", "music"},
            {"Interop Links/splash.bmp", "picture"},
            {"Interop Links/readme.txt", "text"},
            {"Interop Links/hole1.mp3", "hole"},
            {"Interop Links/Interop Links.ini", "ini"},
            {"Interop Links/snd.ini", "snd"},
            {"Interop Links/Interop Links.stn", "stn"},
            {"Interop Links/Interop Links.tcn", "caddy"},
            {"Interop Links/prv/tree.dds", "prv"},
            {"Interop Links/sounds/bird.wav", "bird"}};
}

std::string EntryKey(const char* store, std::uint32_t guid) {
    return std::string(store) + "\\" + GuidTextOf(guid);
}

class InstallInterop : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(prefix / "system.reg")) << prefix;
        ASSERT_FALSE(installer.empty()) << "PARVANE_PACKAGE_INSTALLER names no program";
        WaitForWineserver();
        std::unique_ptr<wine::WineMachine> machine = Open();
        ASSERT_NE(machine, nullptr);
        RemoveInstallation(*machine);  // left by a run that did not end
        KeyHandle key = 0;
        gameWasRegistered = machine->OpenKey(GAME_HIVE, GAME_ROOT, key) == ERR_SUCCESS;
        if (gameWasRegistered) {
            machine->CloseKey(key);
        } else {
            ASSERT_EQ(machine->CreateKey(GAME_HIVE, GAME_ROOT, "", key), ERR_SUCCESS);
            machine->SetValue(key, GAME_INSTALL_DIR_VALUE, REGTYPE_SZ, TARGET);
            machine->CloseKey(key);
        }
        for (const char* store : {GAME_COURSES_KEY, GAME_LIBRARIES_KEY}) {
            ASSERT_EQ(machine->CreateKey(GAME_HIVE, store, "", key), ERR_SUCCESS);
            machine->CloseKey(key);
        }
        std::filesystem::create_directories(HostPath(TARGET));
        SetMachine(machine.get());
        EXPECT_TRUE(WriteZipFile(ARCHIVE, PackageEntries()));
        SetMachine(nullptr);
    }

    void TearDown() override {
        WaitForWineserver();
        std::unique_ptr<wine::WineMachine> machine = Open();
        if (!machine) {
            return;
        }
        RemoveInstallation(*machine);
        if (!gameWasRegistered) {
            for (const char* key :
                 {GAME_COURSES_KEY, GAME_LIBRARIES_KEY, GAME_ROOT, "Software\\Quorlix"}) {
                machine->DeleteKey(GAME_HIVE, key);
            }
        }
        std::string message;
        EXPECT_TRUE(machine->Registry().SaveChanges(message)) << message;
        std::filesystem::remove_all(HostPath(FOLDER));
        ForgetGameFolders();
    }

    std::unique_ptr<wine::WineMachine> Open() {
        std::string message;
        std::unique_ptr<wine::WineMachine> machine = wine::OpenWineMachine(prefix, message);
        EXPECT_NE(machine, nullptr) << message;
        return machine;
    }

    std::filesystem::path HostPath(const std::string& windowsPath) {
        wine::HostPath host;
        EXPECT_EQ(wine::ResolveWindowsPath(prefix, windowsPath, host), ERR_SUCCESS) << windowsPath;
        return host.path;
    }

    // The entry keys and the files of an installation, gone again.
    void RemoveInstallation(wine::WineMachine& machine) {
        machine.DeleteKey(GAME_HIVE, EntryKey(GAME_COURSES_KEY, COURSE));
        machine.DeleteKey(GAME_HIVE, EntryKey(GAME_LIBRARIES_KEY, LIBRARY));
        std::string message;
        EXPECT_TRUE(machine.Registry().SaveChanges(message)) << message;
        std::filesystem::remove_all(HostPath(TARGET + "\\courses"));
        if (!caddyBookPath.empty()) {
            std::filesystem::remove(HostPath(caddyBookPath));
        }
    }

    void InstallWithTheWineBackend(wine::WineMachine& machine) {
        SetMachine(&machine);
        ScriptedUserInterface ui;  // nothing may be asked or reported
        ResetProperties();
        SetProperty(PROPERTY_TARGET_FOLDER, TARGET);
        for (const char* key : {PROPERTY_WARN_ON_OVERWRITE_FILE, PROPERTY_ASK_FOR_TARGET_FOLDER,
                                PROPERTY_ASK_FOR_INSTALL_PROCEED, PROPERTY_ASK_FOR_FLAG}) {
            SetProperty(key, "0");
        }
        SetProperty(PROPERTY_USE_DEFAULT_LIBRARY_FOLDER, "1");
        TheCatalogue() = Catalogue{};
        InstallResult result;
        EXPECT_TRUE(DetectSupportedGames() && LoadCatalogue() && InstallArchive(ARCHIVE, result));
        caddyBookPath = GetPersonalFolder() + "\\" + CADDY_BOOK;
        RemoveFolder(GetTempExtractionFolder());
        ForgetTempExtractionFolder();
        ResetProperties();
        TheCatalogue() = Catalogue{};
        std::string message;
        EXPECT_TRUE(machine.Registry().SaveChanges(message)) << message;
        SetMachine(nullptr);
    }

    // What wine's reg tool shows of each value, one value at a time (Wine 8's reg cannot show
    // a whole key that holds an empty string value), all from one batch file.
    std::string QueryWithWineReg() {
        std::string queries;
        for (const auto& [store, guid, values] :
             {std::tuple{GAME_COURSES_KEY, COURSE, &COURSE_VALUES},
              std::tuple{GAME_LIBRARIES_KEY, LIBRARY, &LIBRARY_VALUES}}) {
            for (const auto& value : *values) {
                queries += "reg query \"HKLM\\" + EntryKey(store, guid) + "\" /v " + value.first +
                           " /reg:32\r\n";
            }
        }
        const std::string batch = FOLDER + "\\query.cmd";
        std::ofstream(HostPath(batch), std::ios::binary) << "@echo off\r\n" << queries;
        const std::string shown = RunCommand("wine cmd /c " + Quoted(batch));
        for (const auto& values : {COURSE_VALUES, LIBRARY_VALUES}) {
            for (const auto& [name, text] : values) {
                EXPECT_NE(shown.find(std::string("    ") + name + "    REG_SZ    " + text + "\r\n"),
                          std::string::npos)
                    << name << " in\n"
                    << shown;
            }
        }
        return shown;
    }

    // Every file the installation wrote, by Windows path, with its content.
    std::map<std::string, std::string> InstalledFiles() {
        std::map<std::string, std::string> files;
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(HostPath(COURSE_FOLDER))) {
            if (entry.is_regular_file()) {
                files[entry.path().lexically_relative(HostPath(COURSE_FOLDER)).string()] =
                    ReadAll(entry.path());
            }
        }
        files[CADDY_BOOK] = ReadAll(HostPath(caddyBookPath));
        return files;
    }

    const std::filesystem::path prefix = Environment("WINEPREFIX");
    const std::string installer = Environment("PARVANE_PACKAGE_INSTALLER");
    bool gameWasRegistered = false;
    std::string caddyBookPath;  // where the Wine backend put the caddy book
};

TEST_F(InstallInterop, TheWineBackendInstallsAPackageAsTheWindowsBuildDoes) {
    {
        std::unique_ptr<wine::WineMachine> machine = Open();
        ASSERT_NE(machine, nullptr);
        InstallWithTheWineBackend(*machine);
    }
    const std::string shownAfterWineBackend = QueryWithWineReg();
    const std::map<std::string, std::string> filesAfterWineBackend = InstalledFiles();
    EXPECT_EQ(filesAfterWineBackend.size(), 14u);
    EXPECT_EQ(filesAfterWineBackend.at(CADDY_BOOK), "caddy");
    WaitForWineserver();
    {
        std::unique_ptr<wine::WineMachine> machine = Open();
        ASSERT_NE(machine, nullptr);
        RemoveInstallation(*machine);
    }

    const std::string installed =
        RunCommand("wine " + Quoted(installer) + " " + Quoted(ARCHIVE) + " " + Quoted(TARGET));
    ASSERT_EQ(installed.find("[exit status"), std::string::npos) << installed;
    WaitForWineserver();
    EXPECT_EQ(QueryWithWineReg(), shownAfterWineBackend);
    EXPECT_EQ(InstalledFiles(), filesAfterWineBackend);
}

}  // namespace
}  // namespace parvane::test
