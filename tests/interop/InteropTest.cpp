// What the Wine backend installs into a prefix must reach the game exactly as the Windows
// build would have installed it, as Wine itself reads it. Runs in the wine suite's
// throwaway prefix (WINEPREFIX), with `wine` on the path and the Windows build's
// parvane-win32-backend in PARVANE_WIN32_BACKEND.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "archive/Folders.h"
#include "archive/TempExtractionFolder.h"
#include "base/GameFolders.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/GameDetection.h"
#include "installer/InstallArchive.h"
#include "platform/wine/WineMachine.h"
#include "platform/wine/paths/PathMapping.h"
#include "properties/Properties.h"
#include "support/ContentFiles.h"
#include "support/InstallFixture.h"
#include "support/PackerArchives.h"
#include "support/ProcessStateResets.h"

namespace parvane::test {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : value;
}

// The command's output, with its status appended when it failed.
std::string RunCommand(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    std::string output;
    char buffer[4096];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe.get()))
        output.append(buffer, got);
    const int status = pclose(pipe.release());
    return status == 0 ? output : output + "\n[exit status " + std::to_string(status) + "]";
}

// Stops the prefix's wineserver, which saves the registry as it ends (quicker than waiting out
// its idle time).
void WaitForWineserver() {
    RunCommand("wineserver -k; wineserver -w");
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

constexpr std::uint32_t PACKAGE_COURSE = 0x1A7E;
const std::string PACKAGE_GUID = GuidToText(TestGuid(PACKAGE_COURSE));

// A course with every kind of file, its eight values all non-empty, so that wine's reg tool
// can show each one (Wine 8's reg cannot show a key that holds an empty string value).
const std::string TARGET = "C:\\Interop\\Greenvale 06";
const std::string ARCHIVE = "C:\\Interop\\Links.zip";
const std::string COURSE_FOLDER = TARGET + "\\courses\\Interop Links";
const std::vector<std::pair<const char*, std::string>> PACKAGE_VALUES = {
    {"Name", "Interop Links"},
    {"Filename", COURSE_FOLDER + "\\Links.tcr"},
    {"Flag", COURSE_FOLDER + "\\flag.dds"},
    {"Logo", COURSE_FOLDER + "\\logo.dds"},
    {"Audio", COURSE_FOLDER + "\\"},
    {"Music", COURSE_FOLDER + "\\theme.mp3"},
    {"Picture", COURSE_FOLDER + "\\splash.bmp"},
    {"Text", COURSE_FOLDER + "\\readme.txt"}};

class Interop : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(win32Backend.empty()) << "PARVANE_WIN32_BACKEND names no program";
        WaitForWineserver();
        std::unique_ptr<wine::WineMachine> machine = OpenSuitePrefix();
        ASSERT_NE(machine, nullptr);
        KeyHandle key = 0;
        gameWasRegistered = machine->OpenKey(GAME_HIVE, GAME_ROOT, key) == ERR_SUCCESS;
        machine->CloseKey(key);
    }

    void TearDown() override {
        WaitForWineserver();
        std::unique_ptr<wine::WineMachine> machine = OpenSuitePrefix();
        if (!machine)
            return;
        for (const std::string& guid : {PACKAGE_GUID, GuidToText(TestGuid(PACKED_COURSE_GUID))})
            machine->DeleteKey(GAME_HIVE, std::string(GAME_COURSES_KEY) + "\\" + guid);
        if (!gameWasRegistered) {
            for (const char* key : {GAME_COURSES_KEY, GAME_ROOT, "Software\\Quorlix"})
                machine->DeleteKey(GAME_HIVE, key);
        }
        std::string message;
        EXPECT_TRUE(machine->Registry().SaveChanges(message)) << message;
        TheCatalogue() = Catalogue{};
        ForgetGameFolders();
    }

    // The suite's prefix as the Wine backend opens it, made the program's machine.
    std::unique_ptr<wine::WineMachine> OpenSuitePrefix() {
        EXPECT_TRUE(std::filesystem::exists(prefix / "system.reg")) << "no prefix: " << prefix;
        std::string message;
        std::unique_ptr<wine::WineMachine> machine = wine::OpenWineMachine(prefix, message);
        EXPECT_NE(machine, nullptr) << message;
        return machine;
    }

    std::filesystem::path HostPath(const std::string& windowsPath) {
        wine::HostPath host;
        EXPECT_EQ(wine::ResolveWindowsPath(prefix, windowsPath, host), ERR_SUCCESS);
        return host.path;
    }

    void InstallWithTheWineBackend(const ZipBytes& package) {
        std::unique_ptr<wine::WineMachine> machine = OpenSuitePrefix();
        ASSERT_NE(machine, nullptr);
        SetMachine(machine.get());
        EXPECT_TRUE(WriteZipFile(ARCHIVE, package));
        ScriptedUserInterface ui;  // nothing may be asked or reported
        SetQuietInstallProperties(TARGET);
        InstallResult result;
        EXPECT_TRUE(InstallArchive(ARCHIVE, result));
        RemoveFolder(GetTempExtractionFolder());
        ForgetTempExtractionFolder();
        caddyBook = GetPersonalFolder() + "\\Greenvale 06\\Course Notes\\Links.tcn";
        std::string message;
        EXPECT_TRUE(machine->Registry().SaveChanges(message)) << message;
        SetMachine(nullptr);
        ResetProperties();
    }

    // The course's key as `wine reg query /reg:32` shows it, holding each value.
    std::string QueryValuesWithWineReg() {
        const std::string shown =
            RunCommand("wine reg query 'HKLM\\" + std::string(GAME_COURSES_KEY) + "\\" +
                       PACKAGE_GUID + "' /reg:32");
        for (const auto& [name, text] : PACKAGE_VALUES) {
            EXPECT_NE(shown.find(std::string("    ") + name + "    REG_SZ    " + text + "\r\n"),
                      std::string::npos)
                << name << " in\n"
                << shown;
        }
        return shown;
    }

    // Every file the installation wrote, with its content; then they are gone.
    std::map<std::string, std::string> TakeInstalledFiles() {
        std::map<std::string, std::string> files = {{"caddy book", ReadAll(HostPath(caddyBook))}};
        const std::filesystem::path folder = HostPath(COURSE_FOLDER);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file())
                files[entry.path().lexically_relative(folder).string()] = ReadAll(entry.path());
        }
        std::filesystem::remove_all(folder);
        std::filesystem::remove(HostPath(caddyBook));
        return files;
    }

    const std::filesystem::path prefix = Environment("WINEPREFIX");
    const std::string win32Backend = Environment("PARVANE_WIN32_BACKEND");
    bool gameWasRegistered = false;
    std::string caddyBook;
};

TEST_F(Interop, TheWineBackendInstallsAPackageAsTheWindowsBuildDoes) {
    std::filesystem::create_directories(HostPath(TARGET));
    std::vector<ZipFileEntry> package = {
        {"Interop Links/Links.tcr", CourseData("Interop Links", PACKAGE_COURSE)}};
    for (const char* name : {"flag.dds", "logo.dds", "theme.mp3", "splash.bmp", "readme.txt",
                             "hole1.mp3", "Links.tcn", "prv/tree.dds", "sounds/bird.wav"}) {
        package.push_back({"Interop Links/" + std::string(name), name});
    }
    InstallWithTheWineBackend(ZipArchiveBytes(package));
    const std::string shownAfterWineBackend = QueryValuesWithWineReg();
    const std::map<std::string, std::string> filesAfterWineBackend = TakeInstalledFiles();
    EXPECT_EQ(filesAfterWineBackend.size(), 10u);

    const std::string installed =
        RunCommand("wine '" + win32Backend + "' install '" + ARCHIVE + "' '" + TARGET + "'");
    ASSERT_EQ(installed.find("[exit status"), std::string::npos) << installed;
    EXPECT_EQ(QueryValuesWithWineReg(), shownAfterWineBackend);
    EXPECT_EQ(TakeInstalledFiles(), filesAfterWineBackend);
    std::filesystem::remove_all(HostPath("C:\\Interop"));
}

// A name marked as UTF-8 keeps its letters: after either backend installed the package, wine's
// reg tool reads Ch\xE2teau.tcr in the course's Filename, and the file has that name. The tool
// writes to a pipe in the console's code page, 437, where the letter is 0x83.
TEST_F(Interop, AUtf8MarkedNameKeepsItsLettersOnBothBackends) {
    const PackerArchive utf8 = PackerArchives()[1];
    ASSERT_EQ(utf8.name, "utf8");
    const std::string folder = TARGET + "\\courses\\" + utf8.courseName;
    const std::string filename = folder + "\\" + utf8.courseName + ".tcr";
    const std::string query = "wine reg query 'HKLM\\" + std::string(GAME_COURSES_KEY) + "\\" +
                              GuidToText(TestGuid(PACKED_COURSE_GUID)) + "' /v Filename /reg:32";
    std::string shownFilename = "    Filename    REG_SZ    " + filename + "\r\n";
    std::replace(shownFilename.begin(), shownFilename.end(), '\xE2', '\x83');
    std::filesystem::create_directories(HostPath(TARGET));
    InstallWithTheWineBackend(utf8.bytes);
    const std::string shown = RunCommand(query);
    EXPECT_NE(shown.find(shownFilename), std::string::npos) << shown;
    EXPECT_TRUE(std::filesystem::is_regular_file(HostPath(filename)));
    std::filesystem::remove_all(HostPath(folder));

    const std::string installed =
        RunCommand("wine '" + win32Backend + "' install '" + ARCHIVE + "' '" + TARGET + "'");
    ASSERT_EQ(installed.find("[exit status"), std::string::npos) << installed;
    EXPECT_EQ(RunCommand(query), shown);
    EXPECT_TRUE(std::filesystem::is_regular_file(HostPath(filename)));
    std::filesystem::remove_all(HostPath("C:\\Interop"));
}

}  // namespace
}  // namespace parvane::test
