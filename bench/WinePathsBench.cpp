// Timings of the Wine backend's path lookups in a folder of 20,000 libraries: a name spelled
// as on disk, the same name in another case (the folder is read), a name that is missing, and
// a wildcard listing of the whole folder.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/wine/files/FileOperations.h"
#include "platform/wine/files/FolderListing.h"
#include "support/wine/TestPrefix.h"

namespace parvane::wine {
namespace {

constexpr int LIBRARY_COUNT = 20000;

std::string LibraryName(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "Library %05d.tcl", n);
    return name;
}

class LibraryFolder {
  public:
    LibraryFolder() {
        const std::filesystem::path folder = prefix.DriveC() / "Libraries";
        std::filesystem::create_directories(folder);
        for (int i = 0; i < LIBRARY_COUNT; ++i) {
            std::ofstream(folder / LibraryName(i));
        }
    }
    const std::filesystem::path& Prefix() const { return prefix.Folder(); }

  private:
    test::TestPrefix prefix;
};

LibraryFolder& Libraries() {
    static LibraryFolder folder;
    return folder;
}

void AttributesOfAName(benchmark::State& state, const std::string& name) {
    const std::filesystem::path& prefix = Libraries().Prefix();
    const std::string path = "C:\\Libraries\\" + name;
    for (auto _ : state) {
        std::uint32_t attributes = 0;
        benchmark::DoNotOptimize(GetAttributes(prefix, path, attributes));
    }
}

void ExactCase(benchmark::State& state) {
    AttributesOfAName(state, LibraryName(12345));
}
void OtherCase(benchmark::State& state) {
    AttributesOfAName(state, "LIBRARY 12345.TCL");
}
void MissingName(benchmark::State& state) {
    AttributesOfAName(state, "Library 99999.tcl");
}

void ListAllLibraries(benchmark::State& state) {
    const std::filesystem::path& prefix = Libraries().Prefix();
    for (auto _ : state) {
        std::vector<FolderEntry> entries;
        benchmark::DoNotOptimize(ListFolder(prefix, "C:\\Libraries\\*.tcl", entries));
    }
}

BENCHMARK(ExactCase);
BENCHMARK(OtherCase)->Unit(benchmark::kMicrosecond);
BENCHMARK(MissingName)->Unit(benchmark::kMicrosecond);
BENCHMARK(ListAllLibraries)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace parvane::wine

BENCHMARK_MAIN();
