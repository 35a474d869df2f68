// Timing of a whole installation of a large course package through the Wine backend, beside
// `unzip -q -j` of the same archive into a fresh folder and the unpacking step alone, measured
// in the same run (wall time).
// The package: a 150 MB course file, a 40 MB included library, 18 hole sounds of 500 KB and
// 30 preview textures of 1 MB in a prv folder, about half of the bytes compressible. The
// settings ask nothing.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/ExtractArchive.h"
#include "archive/Folders.h"
#include "archive/TempExtractionFolder.h"
#include "catalogue/Catalogue.h"
#include "installer/InstallArchive.h"
#include "platform/UserInterface.h"
#include "properties/Properties.h"
#include "support/InstallFixture.h"
#include "support/ProcessStateResets.h"
#include "support/TestMachine.h"
#include "support/ZipFiles.h"
#include "support/wine/WineTestMachine.h"

namespace parvane {
namespace {

constexpr std::size_t MB = 1000 * 1000;
constexpr std::size_t HALF_BLOCK = 32 * 1024;

// Runs of pseudo-random bytes, which do not compress, alternating with runs of words, which
// compress as text does.
std::string HalfCompressible(std::string prefix, std::size_t size, std::uint32_t seed) {
    static const std::vector<std::string> WORDS = {
        "fairway ", "green ",  "bunker ", "rough ", "tee ",  "flag ", "pin ",    "water ",
        "tree ",    "bridge ", "cart ",   "path ",  "hole ", "par ",  "birdie ", "eagle "};
    std::string data = std::move(prefix);
    data.reserve(size);
    std::uint32_t state = seed * 2654435761u + 1;
    while (data.size() < size) {
        const std::size_t end = std::min(size, (data.size() / HALF_BLOCK + 1) * HALF_BLOCK);
        const bool random = (data.size() / HALF_BLOCK) % 2 == 0;
        while (data.size() < end) {
            state = state * 1664525u + 1013904223u;
            if (random) {
                data += static_cast<char>(state >> 24);
            } else {
                data.append(WORDS[state >> 28], 0, end - data.size());
            }
        }
    }
    return data;
}

const test::ZipBytes& LargeCoursePackage() {
    static const test::ZipBytes bytes = [] {
        std::vector<test::ZipFileEntry> entries = {
            {"Lakeside/Lakeside.tcr",
             HalfCompressible(test::CourseData("Lakeside", 1, {{101, "Trees"}}), 150 * MB, 1)},
            {"Lakeside/Trees.tcl", HalfCompressible(test::LibraryData("Trees", 101), 40 * MB, 2)}};
        for (std::uint32_t hole = 1; hole <= 18; ++hole) {
            entries.push_back({"Lakeside/hole" + std::to_string(hole) + ".mp3",
                               HalfCompressible("", 500 * 1000, 10 + hole)});
        }
        for (std::uint32_t texture = 1; texture <= 30; ++texture) {
            entries.push_back({"Lakeside/prv/texture" + std::to_string(texture) + ".dds",
                               HalfCompressible("", MB, 100 + texture)});
        }
        return test::ZipArchiveBytes(entries);
    }();
    return bytes;
}

// Every message is a failure of the run: nothing is to be asked.
class SilentInterface final : public UserInterface {
  public:
    explicit SilentInterface(benchmark::State& runState) : state(runState) {
        SetUserInterface(this);
    }
    ~SilentInterface() override { SetUserInterface(nullptr); }
    int ShowMessageBox(const std::string& text, const std::string&, std::uint32_t) override {
        state.SkipWithError(("message: " + text).c_str());
        return ANSWER_OK;
    }
    bool OpenFile(const OpenFileRequest&, std::string&, std::uint32_t&) override { return false; }
    bool BrowseForFolder(const std::string&, std::string&) override { return false; }
    std::intptr_t RunDialog(int, DialogProcedure&) override { return -1; }

  private:
    benchmark::State& state;
};

std::string WriteArchive(test::TestMachine& machine) {
    const std::string archive = machine.ScratchFolder() + "\\Lakeside.zip";
    test::WriteZipFile(archive, LargeCoursePackage());
    return archive;
}

void InstallLargeCourse(benchmark::State& state) {
    const test::ZipBytes& package = LargeCoursePackage();
    test::TestMachine machine;
    SilentInterface silent(state);
    const std::string archive = WriteArchive(machine);
    ResetProperties();
    SetProperty(PROPERTY_TARGET_FOLDER, machine.GameInstallDir());
    for (const char* key : {PROPERTY_WARN_ON_OVERWRITE_FILE, PROPERTY_ASK_FOR_TARGET_FOLDER,
                            PROPERTY_ASK_FOR_INSTALL_PROCEED, PROPERTY_ASK_FOR_FLAG}) {
        SetProperty(key, "0");
    }
    SetProperty(PROPERTY_USE_DEFAULT_LIBRARY_FOLDER, "1");
    const std::filesystem::path installed =
        test::HostPathOf(machine, machine.GameInstallDir() + "\\courses");
    for (auto _ : state) {
        state.PauseTiming();
        TheCatalogue() = Catalogue{};
        std::filesystem::remove_all(installed);
        RemoveFolder(GetTempExtractionFolder());
        state.ResumeTiming();
        InstallResult result;
        if (!InstallArchive(archive, result)) {
            state.SkipWithError("the installation failed");
        }
    }
    RemoveFolder(GetTempExtractionFolder());
    ForgetTempExtractionFolder();
    ResetProperties();
    TheCatalogue() = Catalogue{};
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(package.size()));
}
BENCHMARK(InstallLargeCourse)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void UnzipLargeCourse(benchmark::State& state) {
    const test::ZipBytes& package = LargeCoursePackage();
    test::TestMachine machine;
    const std::filesystem::path archive = test::HostPathOf(machine, WriteArchive(machine));
    const std::filesystem::path folder = archive.parent_path() / "unzipped";
    const std::string command =
        "unzip -q -j '" + archive.string() + "' -d '" + folder.string() + "'";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(folder);
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("unzip failed");
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(package.size()));
}
BENCHMARK(UnzipLargeCourse)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The unpacking alone, the first step of the installation.
void ExtractLargeCourse(benchmark::State& state) {
    test::TestMachine machine;
    SilentInterface silent(state);
    const std::string archive = WriteArchive(machine);
    const std::string folder = machine.ScratchFolder() + "\\unpacked";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(test::HostPathOf(machine, folder));
        state.ResumeTiming();
        if (!ExtractArchive(archive, folder, true)) {
            state.SkipWithError("the extraction failed");
        }
    }
}
BENCHMARK(ExtractLargeCourse)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
}  // namespace parvane

BENCHMARK_MAIN();
