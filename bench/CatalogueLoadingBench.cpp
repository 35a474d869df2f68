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
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "LargeCollection.h"
#include "base/GameFolders.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueLoading.h"
#include "catalogue/GameDetection.h"
#include "platform/RegistryKey.h"
#include "platform/UserInterface.h"
#include "platform/wine/WineMachine.h"
#include "support/ProcessStateResets.h"
#include "support/wine/TestPrefix.h"

namespace parvane {
namespace {

using bench::CourseNumber;
using bench::GuidTextOf;
using bench::Layout;

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

class LargePrefix {
  public:
    LargePrefix(Layout entryLayout, int entryCount) : layout(entryLayout), entries(entryCount) {
        bench::WriteLargeCollection(prefix, entryLayout, entryCount);
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
