// Loading the catalogue of a large collection from a Wine prefix: 10,000 courses and 50,000
// libraries, each with its registry entry and its content file, nine in ten installed and one
// in ten cloaked. Each course sits in a folder of its own with the five libraries it uses.
// Also the same load when it has stale cloaked entries to delete.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
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
#include "support/wine/TestPrefix.h"

namespace parvane {
namespace {

using bench::CourseNumber;
using bench::GuidTextOf;

constexpr int COURSES = 10000;

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
    LargePrefix() {
        bench::WriteLargeCollection(prefix, COURSES);
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
    }
    ~LargePrefix() {
        machine.reset();
        SetMachine(nullptr);
    }

    const std::vector<std::string>& Messages() const { return recorder.messages; }

  private:
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
