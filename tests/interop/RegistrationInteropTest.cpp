// A course registered by the Wine backend must reach the game exactly as the Win32 backend
// would have registered it: the same eight values, types and bytes, as Wine itself reads them;
// and a package installed by the Wine backend must leave the same values and files as the
// Windows build installing it under wine. Runs in the wine suite's throwaway prefix
// (WINEPREFIX), with `wine` on the path and the Windows build's course registrar and package
// installer in PARVANE_COURSE_REGISTRAR and PARVANE_PACKAGE_INSTALLER.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "archive/Folders.h"
#include "base/GameFolders.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/GameDetection.h"
#include "catalogue/Registration.h"
#include "installer/InstallArchive.h"
#include "interop/WineCommands.h"
#include "platform/wine/Codepage.h"
#include "platform/wine/PathMapping.h"
#include "platform/wine/WineMachine.h"
#include "properties/Properties.h"
#include "support/ContentFiles.h"
#include "support/InstallFixture.h"
#include "support/ScriptedUserInterface.h"

namespace parvane::test {
namespace {

const std::string WINE_BACKEND_GUID = "{0A0A0A0A-0000-4000-8000-000000000001}";
const std::string WIN32_BACKEND_GUID = "{0B0B0B0B-0000-4000-8000-000000000002}";
constexpr std::uint32_t PACKAGE_COURSE = 0x1A7E;
const std::string PACKAGE_GUID = GuidToText(TestGuid(PACKAGE_COURSE));

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// The lines of a key's block in a registry file after its header and time stamp: class and
// values, as Wine saved them.
std::string KeyBlockBody(const std::string& registryFile, const std::string& keyPath) {
    const std::size_t header = registryFile.find("\n[" + keyPath + "] ");
    if (header == std::string::npos) {
        return "(no key " + keyPath + ")";
    }
    const std::size_t bodyStart = registryFile.find("\n#time=", header + 1);
    const std::size_t afterTime = registryFile.find('\n', bodyStart + 1);
    const std::size_t end = registryFile.find("\n\n", afterTime);
    return registryFile.substr(afterTime + 1, end - afterTime);
}

// The course as both backends register it: empty values (flag, music, text), quotes,
// backslashes and an accented letter (code page 1252) among the values.
CourseRecord Course(const std::string& guidText) {
    CourseRecord course;
    course.guidText = guidText;
    course.name = "Caf\xE9 \"Links\"";
    course.filename = "C:\\Games\\Greenvale 06\\Courses\\Links\\Links.tcr";
    course.logo = "C:\\Games\\Greenvale 06\\Courses\\Links\\logo.dds";
    course.audio = "C:\\Games\\Greenvale 06\\Courses\\Links\\";
    course.picture = "C:\\Games\\Greenvale 06\\Courses\\Links\\picture.jpg";
    return course;
}

class RegistrationInterop : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(registrar.empty()) << "PARVANE_COURSE_REGISTRAR names no program";
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
        if (!machine) {
            return;
        }
        for (const std::string& guid : {WINE_BACKEND_GUID, WIN32_BACKEND_GUID, PACKAGE_GUID}) {
            machine->DeleteKey(GAME_HIVE, std::string(GAME_COURSES_KEY) + "\\" + guid);
        }
        if (!gameWasRegistered) {
            for (const char* key : {GAME_COURSES_KEY, GAME_ROOT, "Software\\Quorlix"}) {
                machine->DeleteKey(GAME_HIVE, key);
            }
        }
        std::string message;
        EXPECT_TRUE(machine->Registry().SaveChanges(message)) << message;
        TheCatalogue() = Catalogue{};
        ForgetGameFolders();
    }

    // One value as wine's reg tool shows it. (Wine 8's reg cannot show a whole key that holds
    // an empty string value: it copies the string from a buffer of size 0. Such values are
    // compared through the export and the saved file instead.)
    std::string QueryWithWineReg(const std::string& guidText, const char* valueName) {
        return RunCommand("wine reg query " + Quoted(EntryKey(guidText)) + " /v " + valueName +
                          " /reg:32");
    }

    // The key as wine's reg tool exports it (UTF-16 narrowed to its low bytes, which is exact
    // for the Latin-1 text used here), the key's name left out.
    std::string ExportWithWineReg(const std::string& guidText) {
        const std::filesystem::path file = prefix / ("export-" + guidText + ".reg");
        std::string windowsFile = "Z:" + file.string();
        ReplaceAll(windowsFile, "/", "\\");
        const std::string exported = RunCommand("wine reg export " + Quoted(EntryKey(guidText)) +
                                                " " + Quoted(windowsFile) + " /y /reg:32");
        EXPECT_EQ(exported.find("[exit status"), std::string::npos) << exported;
        const std::string wide = ReadAll(file);
        std::filesystem::remove(file);
        std::string narrow;
        for (std::size_t i = 0; i + 1 < wide.size(); i += 2) {
            narrow += wide[i];
        }
        ReplaceAll(narrow, guidText, "{GUID}");
        return narrow;
    }

    static std::string EntryKey(const std::string& guidText) {
        return "HKLM\\" + std::string(GAME_COURSES_KEY) + "\\" + guidText;
    }

    const std::filesystem::path prefix = Environment("WINEPREFIX");
    const std::string registrar = Environment("PARVANE_COURSE_REGISTRAR");
    const std::string installer = Environment("PARVANE_PACKAGE_INSTALLER");
    bool gameWasRegistered = false;
};

TEST_F(RegistrationInterop, WineSeesTheWineBackendsCourseAsTheWin32BackendWritesIt) {
    {
        std::unique_ptr<wine::WineMachine> machine = OpenSuitePrefix();
        ASSERT_NE(machine, nullptr);
        SetMachine(machine.get());
        ScriptedUserInterface ui;
        CourseRecord course = Course(WINE_BACKEND_GUID);
        EXPECT_TRUE(RegisterCourse(course));
        std::string message;
        EXPECT_TRUE(machine->Registry().SaveChanges(message)) << message;
        SetMachine(nullptr);
    }
    const CourseRecord course = Course(WIN32_BACKEND_GUID);
    std::string command = "wine " + Quoted(registrar);
    for (const std::string* argument :
         {&course.guidText, &course.name, &course.filename, &course.flag, &course.logo,
          &course.audio, &course.music, &course.picture, &course.text}) {
        command += " " + Quoted(wine::Cp1252ToUtf8(*argument));  // Wine passes it on in 1252
    }
    const std::string registered = RunCommand(command);
    ASSERT_EQ(registered.find("[exit status"), std::string::npos) << registered;
    WaitForWineserver();

    // What wine's own reg tool shows of the Wine backend's key. In the console's code page 437,
    // e with acute is 0x82.
    const CourseRecord written = Course(WINE_BACKEND_GUID);
    const std::vector<std::pair<const char*, std::string>> shown = {{"Name", "Caf\x82 \"Links\""},
                                                                    {"Filename", written.filename},
                                                                    {"Logo", written.logo},
                                                                    {"Audio", written.audio},
                                                                    {"Picture", written.picture}};
    for (const auto& [value, text] : shown) {
        const std::string seen = QueryWithWineReg(WINE_BACKEND_GUID, value);
        EXPECT_NE(seen.find(std::string("    ") + value + "    REG_SZ    " + text + "\r\n"),
                  std::string::npos)
            << seen;
    }
    // The whole of both keys as wine's reg tool exports them.
    const std::string exported = ExportWithWineReg(WINE_BACKEND_GUID);
    EXPECT_EQ(exported, ExportWithWineReg(WIN32_BACKEND_GUID));
    for (const char* empty : {"\"Flag\"=\"\"", "\"Music\"=\"\"", "\"Text\"=\"\""}) {
        EXPECT_NE(exported.find(empty), std::string::npos) << empty << " in\n" << exported;
    }
    WaitForWineserver();

    // The two keys as the wineserver saved them after reading the Wine backend's file: class,
    // value types and data byte for byte (an empty value has no terminator: hex(1):).
    const std::string systemReg = ReadAll(prefix / "system.reg");
    const std::string storeKey =
        "Software\\\\Wow6432Node\\\\Quorlix\\\\Greenvale 06\\\\Courses\\\\";
    const std::string wineBlock = KeyBlockBody(systemReg, storeKey + WINE_BACKEND_GUID);
    EXPECT_EQ(wineBlock, KeyBlockBody(systemReg, storeKey + WIN32_BACKEND_GUID));
    EXPECT_NE(wineBlock.find("#class=\"Parvane\"\n"), std::string::npos) << wineBlock;
    EXPECT_NE(wineBlock.find("\"Flag\"=hex(1):\n"), std::string::npos) << wineBlock;
    EXPECT_NE(wineBlock.find("\"Name\"=\"Caf\\xe9 \\\"Links\\\"\"\n"), std::string::npos)
        << wineBlock;
}

// The package: a course with every kind of file, its eight values all non-empty, so that
// wine's reg tool can show each one.
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

class PackageInterop : public RegistrationInterop {
  protected:
    std::filesystem::path HostPath(const std::string& windowsPath) {
        wine::HostPath host;
        EXPECT_EQ(wine::ResolveWindowsPath(prefix, windowsPath, host), ERR_SUCCESS);
        return host.path;
    }

    // Writes the package and installs it.
    void InstallWithTheWineBackend(const std::vector<ZipFileEntry>& package) {
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

    // Each value as wine's reg tool shows it, one value at a time (see QueryWithWineReg), all
    // from one batch file.
    std::string QueryValuesWithWineReg() {
        std::string queries = "@echo off\r\n";
        for (const auto& [name, text] : PACKAGE_VALUES) {
            queries += "reg query \"" + EntryKey(PACKAGE_GUID) + "\" /v " + name + " /reg:32\r\n";
        }
        std::ofstream(HostPath("C:\\Interop\\query.cmd"), std::ios::binary) << queries;
        const std::string shown = RunCommand("wine cmd /c 'C:\\Interop\\query.cmd'");
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
            if (entry.is_regular_file()) {
                files[entry.path().lexically_relative(folder).string()] = ReadAll(entry.path());
            }
        }
        std::filesystem::remove_all(folder);
        std::filesystem::remove(HostPath(caddyBook));
        return files;
    }

    std::string caddyBook;
};

TEST_F(PackageInterop, TheWineBackendInstallsAPackageAsTheWindowsBuildDoes) {
    ASSERT_FALSE(installer.empty()) << "PARVANE_PACKAGE_INSTALLER names no program";
    std::filesystem::create_directories(HostPath(TARGET));
    const std::string course = "Interop Links/";
    InstallWithTheWineBackend({{course + "Links.tcr", CourseData("Interop Links", PACKAGE_COURSE)},
                               {course + "flag.dds", "flag"},
                               {course + "logo.dds", "logo"},
                               {course + "theme.mp3", "music"},
                               {course + "splash.bmp", "picture"},
                               {course + "readme.txt", "text"},
                               {course + "hole1.mp3", "hole"},
                               {course + "Links.tcn", "caddy"},
                               {course + "prv/tree.dds", "prv"},
                               {course + "sounds/bird.wav", "bird"}});
    const std::string shownAfterWineBackend = QueryValuesWithWineReg();
    const std::map<std::string, std::string> filesAfterWineBackend = TakeInstalledFiles();
    EXPECT_EQ(filesAfterWineBackend.size(), 10u);

    const std::string installed =
        RunCommand("wine " + Quoted(installer) + " " + Quoted(ARCHIVE) + " " + Quoted(TARGET));
    ASSERT_EQ(installed.find("[exit status"), std::string::npos) << installed;
    EXPECT_EQ(QueryValuesWithWineReg(), shownAfterWineBackend);
    EXPECT_EQ(TakeInstalledFiles(), filesAfterWineBackend);
    std::filesystem::remove_all(HostPath("C:\\Interop"));
}

}  // namespace
}  // namespace parvane::test
