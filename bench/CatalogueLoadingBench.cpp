// Loading the catalogue of a large collection from a Wine prefix: 10,000 courses and 50,000
// libraries, each with its registry entry and its content file, nine in ten installed and one
// in ten cloaked. Each course sits in a folder of its own with the five libraries it uses.
// Also the same load when it has stale cloaked entries to delete.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/GameFolders.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueLoading.h"
#include "catalogue/GameDetection.h"
#include "platform/RegistryKey.h"
#include "platform/UserInterface.h"
#include "platform/wine/WineMachine.h"
#include "support/ContentFiles.h"
#include "support/wine/TestPrefix.h"

namespace parvane {
namespace {

constexpr int COURSES = 10000;
constexpr int LIBRARIES_PER_COURSE = 5;
constexpr const char* INSTALL_DIR = "C:\\Games\\Greenvale 06";

// Any message during the load is a failure of the benchmark.
class MessageRecorder final : public UserInterface {
  public:
    int ShowMessageBox(const std::string& text, const std::string&, std::uint32_t) override {
        messages.push_back(text);
        return ANSWER_OK;
    }
    bool OpenFile(const OpenFileRequest&, std::string&, std::uint32_t&) override { return false; }
    bool BrowseForFolder(const std::string&, std::string&) override { return false; }
    std::intptr_t RunDialog(int, DialogProcedure&) override { return -1; }

    std::vector<std::string> messages;
};

std::string GuidTextOf(std::uint32_t n) {
    return GuidToText(test::TestGuid(n));
}

std::string CourseFolderName(int course) {
    char name[16];
    std::snprintf(name, sizeof name, "C%05d", course);
    return name;
}

std::string LibraryFileName(int course, int slot) {
    return CourseFolderName(course) + "_L" + std::to_string(slot) + ".tcl";
}

// Library n of the whole collection belongs to course n / 5.
std::uint32_t LibraryNumber(int course, int slot) {
    return static_cast<std::uint32_t>(course * LIBRARIES_PER_COURSE + slot);
}

// GUID numbers: courses from 1,000,000 on, libraries from 0.
std::uint32_t CourseNumber(int course) {
    return 1000000u + static_cast<std::uint32_t>(course);
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

// A key block as Wine writes it in system.reg, in the 32-bit view of a 64-bit prefix.
void AppendKey(std::string& text, const std::string& path,
               const std::vector<std::pair<std::string, std::string>>& values) {
    text += "[Software\\\\Wow6432Node\\\\" + path + "] 1796543990\n#time=1dd8557c507cb1a\n";
    for (const auto& [name, value] : values) {
        text += "\"" + name + "\"=\"" + value + "\"\n";
    }
    text += "\n";
}

// Backslashes doubled, as inside a quoted registry string.
std::string Escaped(const std::string& windowsPath) {
    std::string escaped;
    for (char c : windowsPath) {
        escaped += c;
        if (c == '\\') {
            escaped += '\\';
        }
    }
    return escaped;
}

class LargePrefix {
  public:
    LargePrefix() {
        const std::filesystem::path& folder = prefix.Folder();
        std::string registry;
        AppendKey(registry, "Quorlix\\\\Greenvale 06", {{"Install Dir", Escaped(INSTALL_DIR)}});
        AppendKey(registry, "Quorlix\\\\Greenvale 06\\\\Courses", {});
        AppendKey(registry, "Quorlix\\\\Greenvale 06\\\\Libraries", {});
        AppendKey(registry, "Hydrel06\\\\Courses", {});
        AppendKey(registry, "Hydrel06\\\\Libraries", {});
        const std::filesystem::path courses =
            prefix.DriveC() / "Games" / "Greenvale 06" / "Courses";
        for (int course = 0; course < COURSES; ++course) {
            WriteCourse(courses, course, registry);
        }
        std::ofstream(folder / "system.reg", std::ios::app) << registry;
        std::string message;
        machine = wine::OpenWineMachine(folder, message);
        if (!machine) {
            throw std::runtime_error(message);
        }
        SetMachine(machine.get());
        SetUserInterface(&recorder);
        ForgetGameFolders();
        if (!DetectSupportedGames()) {
            throw std::runtime_error("the prefix holds neither the game nor the cloaking tool");
        }
    }
    ~LargePrefix() {
        machine.reset();
        SetMachine(nullptr);
    }

    const std::vector<std::string>& Messages() const { return recorder.messages; }

  private:
    void WriteCourse(const std::filesystem::path& courses, int course, std::string& registry) {
        const bool cloaked = course % 10 == 0;
        const std::string courseStore =
            cloaked ? "Hydrel06\\\\Courses\\\\" : "Quorlix\\\\Greenvale 06\\\\Courses\\\\";
        const std::string libraryStore =
            cloaked ? "Hydrel06\\\\Libraries\\\\" : "Quorlix\\\\Greenvale 06\\\\Libraries\\\\";
        const std::string name = CourseFolderName(course);
        const std::filesystem::path hostFolder = courses / name;
        std::filesystem::create_directories(hostFolder);
        const std::string windowsFolder = std::string(INSTALL_DIR) + "\\Courses\\" + name;

        test::CourseFileContent content;
        content.guid = test::TestGuid(CourseNumber(course));
        content.name = name;
        for (int slot = 0; slot < LIBRARIES_PER_COURSE; ++slot) {
            const std::uint32_t number = LibraryNumber(course, slot);
            const std::string fileName = LibraryFileName(course, slot);
            content.libraryGuids.push_back(test::TestGuid(number));
            content.libraryNames.push_back(fileName);
            WriteBytes(hostFolder / fileName,
                       test::LibraryFileBytes({test::TestGuid(number), fileName}));
            AppendKey(registry, libraryStore + GuidTextOf(number),
                      {{"Name", fileName}, {"Filename", Escaped(windowsFolder + "\\" + fileName)}});
        }
        WriteBytes(hostFolder / (name + ".tcr"), test::CourseFileBytes(content));
        const std::string windowsCourse = Escaped(windowsFolder + "\\" + name + ".tcr");
        AppendKey(registry, courseStore + GuidTextOf(CourseNumber(course)),
                  {{"Name", name},
                   {"Filename", windowsCourse},
                   {"Audio", Escaped(windowsFolder + "\\")},
                   {"Music", Escaped(windowsFolder + "\\music.mp3")},
                   {"Picture", Escaped(windowsFolder + "\\picture.jpg")},
                   {"Text", Escaped(windowsFolder + "\\text.txt")},
                   {"Flag", Escaped(windowsFolder + "\\flag.dds")},
                   {"Logo", Escaped(windowsFolder + "\\logo.dds")}});
    }

    test::TestPrefix prefix;
    std::unique_ptr<wine::WineMachine> machine;
    MessageRecorder recorder;
};

LargePrefix& Prefix() {
    static LargePrefix prefix;
    return prefix;
}

void CountLists(benchmark::State& state) {
    state.counters["installedCourses"] = static_cast<double>(GetInstalledCourses().size());
    state.counters["cloakedCourses"] = static_cast<double>(GetCloakedCourses().size());
    state.counters["installedLibraries"] = static_cast<double>(GetInstalledLibraries().size());
    state.counters["cloakedLibraries"] = static_cast<double>(GetCloakedLibraries().size());
}

void BM_LoadCatalogue(benchmark::State& state) {
    const LargePrefix& prefix = Prefix();
    for (auto _ : state) {
        if (!LoadCatalogue() || !prefix.Messages().empty()) {
            state.SkipWithError("the load failed or showed a message");
            break;
        }
    }
    CountLists(state);
}
BENCHMARK(BM_LoadCatalogue)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same load when the cloak store also holds `STALE` entries of installed courses, which
// the load deletes one by one.
constexpr int STALE = 20;

void AddStaleCloakedCourses() {
    int added = 0;
    for (int course = 1; added < STALE; ++course) {
        if (course % 10 == 0) {
            continue;  // cloaked, not installed
        }
        RegistryKey entry;
        const std::string path =
            std::string(CLOAK_COURSES_KEY) + "\\" + GuidTextOf(CourseNumber(course));
        if (entry.Create(GAME_HIVE, path, "") != ERR_SUCCESS ||
            TheMachine().SetValue(entry.Handle(), "Name", REGTYPE_SZ, "Stale") != ERR_SUCCESS) {
            throw std::runtime_error("cannot add " + path);
        }
        ++added;
    }
}

void BM_LoadCatalogueDeletingStaleEntries(benchmark::State& state) {
    const LargePrefix& prefix = Prefix();
    for (auto _ : state) {
        state.PauseTiming();
        AddStaleCloakedCourses();
        state.ResumeTiming();
        if (!LoadCatalogue() || !prefix.Messages().empty()) {
            state.SkipWithError("the load failed or showed a message");
            break;
        }
    }
    CountLists(state);
}
BENCHMARK(BM_LoadCatalogueDeletingStaleEntries)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace parvane

BENCHMARK_MAIN();
