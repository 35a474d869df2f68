// Loading the catalogue of a large collection from a Wine prefix, in the two layouts players
// keep: courses one to a folder, and libraries 500 to a folder, each alone and together (one
// course to five libraries). Each is loaded with 6,000 and with 60,000 entries, to show that
// the time grows in step with the catalogue. Nine
// in ten entries are installed and one in ten cloaked; every file lies under the game's folder,
// so each entry goes through the whole removal safety test. Each load is timed on its own: the
// first after the program starts, then two more. Also the course load when it has stale cloaked
// entries to delete.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
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

// A player's collection holds both: one course to five libraries (10,000 courses and 50,000
// libraries make 60,000 entries).
enum class Layout { CoursesOneToAFolder, LibrariesFiveHundredToAFolder, Collection };

constexpr int LIBRARIES_PER_FOLDER = 500;
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

std::string Numbered(const char* format, int n) {
    char name[32];
    std::snprintf(name, sizeof name, format, n);
    return name;
}

// GUID numbers: courses from 1,000,000 on, libraries from 0.
std::uint32_t CourseNumber(int course) {
    return 1000000u + static_cast<std::uint32_t>(course);
}

std::uint32_t LibraryNumber(int library) {
    return static_cast<std::uint32_t>(library);
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

// One entry in ten is cloaked.
std::string StoreKey(int entry, const char* kind) {
    const bool cloaked = entry % 10 == 0;
    return std::string(cloaked ? "Hydrel06\\\\" : "Quorlix\\\\Greenvale 06\\\\") + kind + "\\\\";
}

class LargePrefix {
  public:
    LargePrefix(Layout entryLayout, int entryCount) : layout(entryLayout), entries(entryCount) {
        std::string registry;
        AppendKey(registry, "Quorlix\\\\Greenvale 06", {{"Install Dir", Escaped(INSTALL_DIR)}});
        AppendKey(registry, "Quorlix\\\\Greenvale 06\\\\Courses", {});
        AppendKey(registry, "Quorlix\\\\Greenvale 06\\\\Libraries", {});
        AppendKey(registry, "Hydrel06\\\\Courses", {});
        AppendKey(registry, "Hydrel06\\\\Libraries", {});
        const std::filesystem::path game = prefix.DriveC() / "Games" / "Greenvale 06";
        const int courses = entryLayout == Layout::CoursesOneToAFolder ? entryCount
                            : entryLayout == Layout::Collection        ? entryCount / 6
                                                                       : 0;
        for (int course = 0; course < courses; ++course) {
            WriteCourse(game / "Courses", course, registry);
        }
        for (int library = 0; library < entryCount - courses; ++library) {
            WriteLibrary(game / "Libraries", library, registry);
        }
        std::ofstream(prefix.Folder() / "system.reg", std::ios::app) << registry;
        std::string message;
        machine = wine::OpenWineMachine(prefix.Folder(), message);
        if (!machine) {
            throw std::runtime_error(message);
        }
        SetMachine(machine.get());
        SetUserInterface(&recorder);
        ForgetGameFolders();
        if (!DetectSupportedGames()) {
            throw std::runtime_error("the prefix holds neither the game nor the cloaking tool");
        }
        // A player's folders were written long before: the Wine backend reads a folder changed
        // within the last two seconds again at every listing.
        std::this_thread::sleep_for(std::chrono::seconds(2));
    }
    ~LargePrefix() {
        machine.reset();
        SetMachine(nullptr);
    }

    bool Holds(Layout otherLayout, int otherEntries) const {
        return layout == otherLayout && entries == otherEntries;
    }
    const std::vector<std::string>& Messages() const { return recorder.messages; }

  private:
    // Course n in the folder Cnnnnn of its own, using five libraries (not installed).
    static void WriteCourse(const std::filesystem::path& courses, int course,
                            std::string& registry) {
        const std::string name = Numbered("C%05d", course);
        const std::filesystem::path hostFolder = courses / name;
        std::filesystem::create_directories(hostFolder);
        const std::string windowsFolder = std::string(INSTALL_DIR) + "\\Courses\\" + name;

        test::CourseFileContent content;
        content.guid = test::TestGuid(CourseNumber(course));
        content.name = name;
        for (int slot = 0; slot < LIBRARIES_PER_COURSE; ++slot) {
            const int library = course * LIBRARIES_PER_COURSE + slot;
            content.libraryGuids.push_back(test::TestGuid(LibraryNumber(library)));
            content.libraryNames.push_back(Numbered("L%06d.tcl", library));
        }
        WriteBytes(hostFolder / (name + ".tcr"), test::CourseFileBytes(content));
        AppendKey(registry, StoreKey(course, "Courses") + GuidTextOf(CourseNumber(course)),
                  {{"Name", name},
                   {"Filename", Escaped(windowsFolder + "\\" + name + ".tcr")},
                   {"Audio", Escaped(windowsFolder + "\\")},
                   {"Music", Escaped(windowsFolder + "\\music.mp3")},
                   {"Picture", Escaped(windowsFolder + "\\picture.jpg")},
                   {"Text", Escaped(windowsFolder + "\\text.txt")},
                   {"Flag", Escaped(windowsFolder + "\\flag.dds")},
                   {"Logo", Escaped(windowsFolder + "\\logo.dds")}});
    }

    // Library n in the folder Pnnn with the 499 others of its pack.
    static void WriteLibrary(const std::filesystem::path& libraries, int library,
                             std::string& registry) {
        const std::string folder = Numbered("P%03d", library / LIBRARIES_PER_FOLDER);
        const std::string fileName = Numbered("L%06d.tcl", library);
        const std::filesystem::path hostFolder = libraries / folder;
        if (library % LIBRARIES_PER_FOLDER == 0) {
            std::filesystem::create_directories(hostFolder);
        }
        const GUID guid = test::TestGuid(LibraryNumber(library));
        WriteBytes(hostFolder / fileName, test::LibraryFileBytes({guid, fileName}));
        const std::string windowsFile =
            std::string(INSTALL_DIR) + "\\Libraries\\" + folder + "\\" + fileName;
        AppendKey(registry, StoreKey(library, "Libraries") + GuidTextOf(LibraryNumber(library)),
                  {{"Name", fileName}, {"Filename", Escaped(windowsFile)}});
    }

    Layout layout;
    int entries;
    test::TestPrefix prefix;
    std::unique_ptr<wine::WineMachine> machine;
    MessageRecorder recorder;
};

// One prefix on disk at a time: the last one asked for.
LargePrefix& PrefixWith(Layout layout, int entries) {
    static std::unique_ptr<LargePrefix> prefix;
    if (!prefix || !prefix->Holds(layout, entries)) {
        prefix.reset();
        prefix = std::make_unique<LargePrefix>(layout, entries);
    }
    return *prefix;
}

void CountLists(benchmark::State& state) {
    state.counters["installedCourses"] = static_cast<double>(GetInstalledCourses().size());
    state.counters["cloakedCourses"] = static_cast<double>(GetCloakedCourses().size());
    state.counters["installedLibraries"] = static_cast<double>(GetInstalledLibraries().size());
    state.counters["cloakedLibraries"] = static_cast<double>(GetCloakedLibraries().size());
}

void LoadRepeatedly(benchmark::State& state, Layout layout) {
    const LargePrefix& prefix = PrefixWith(layout, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (!LoadCatalogue() || !prefix.Messages().empty()) {
            state.SkipWithError("the load failed or showed a message");
            break;
        }
    }
    CountLists(state);
}

void BM_LoadCoursesOneToAFolder(benchmark::State& state) {
    LoadRepeatedly(state, Layout::CoursesOneToAFolder);
}
BENCHMARK(BM_LoadCoursesOneToAFolder)
    ->Arg(6000)
    ->Arg(60000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

void BM_LoadCollection(benchmark::State& state) {
    LoadRepeatedly(state, Layout::Collection);
}
BENCHMARK(BM_LoadCollection)
    ->Arg(6000)
    ->Arg(60000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

// The course load when the cloak store also holds `STALE` entries of installed courses, which
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
            TheMachine().SetValue(entry.Handle(), "Name", REGTYPE_SZ, "Stale") != ERR_SUCCESS ||
            entry.Close() != ERR_SUCCESS) {
            throw std::runtime_error("cannot add " + path);
        }
        ++added;
    }
}

void BM_LoadCoursesDeletingStaleEntries(benchmark::State& state) {
    const LargePrefix& prefix =
        PrefixWith(Layout::CoursesOneToAFolder, static_cast<int>(state.range(0)));
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
BENCHMARK(BM_LoadCoursesDeletingStaleEntries)
    ->Arg(60000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

void BM_LoadLibrariesFiveHundredToAFolder(benchmark::State& state) {
    LoadRepeatedly(state, Layout::LibrariesFiveHundredToAFolder);
}
BENCHMARK(BM_LoadLibrariesFiveHundredToAFolder)
    ->Arg(6000)
    ->Arg(60000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

}  // namespace
}  // namespace parvane

BENCHMARK_MAIN();
