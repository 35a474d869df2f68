// Timing of archive extraction through the machine's file streams (many small entries, where
// the per-entry checks count, and one large entry, where inflating counts) and of origin-list
// lookups over a package with tens of thousands of files.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ExtractArchive.h"
#include "archive/OriginLists.h"
#include "support/TestMachine.h"
#include "support/ZipFiles.h"

namespace parvane {
namespace {

std::string VariedData(std::size_t size) {
    std::string data(size, '\0');
    std::uint32_t state = 1;
    for (char& c : data) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>('a' + (state >> 28));
    }
    return data;
}

void ExtractArchiveOf(benchmark::State& state, const std::vector<test::ZipFileEntry>& entries,
                      std::int64_t bytes) {
    test::TestMachine machine;
    const std::string archive = machine.ScratchFolder() + "\\package.zip";
    test::WriteZipFile(archive, entries);
    const std::string target = machine.ScratchFolder() + "\\out";
    for (auto _ : state) {
        ClearOriginLists();
        if (!ExtractArchive(archive, target, true))
            state.SkipWithError("extraction failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * bytes);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(entries.size()));
}

void ExtractManySmallEntries(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    std::vector<test::ZipFileEntry> entries;
    for (std::size_t i = 0; i < count; ++i) {
        entries.push_back({"Course/prv/object" + std::to_string(i) + ".bin", VariedData(1024)});
    }
    ExtractArchiveOf(state, entries, static_cast<std::int64_t>(count) * 1024);
}
BENCHMARK(ExtractManySmallEntries)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond);

void ExtractOneLargeEntry(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0));
    ExtractArchiveOf(state, {{"Course/course.tcr", VariedData(size)}},
                     static_cast<std::int64_t>(size));
}
BENCHMARK(ExtractOneLargeEntry)->Arg(1 << 20)->Arg(32 << 20)->Unit(benchmark::kMillisecond);

void OriginListLookups(benchmark::State& state) {
    const auto count = static_cast<int>(state.range(0));
    ClearOriginLists();
    for (int i = 0; i < count; ++i)
        AddPrvFile("Object" + std::to_string(i) + ".BIN");
    int found = 0;
    for (auto _ : state) {
        for (int i = 0; i < count; i += 97)
            found += IsPrvFile("object" + std::to_string(i) + ".bin");
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * (count / 97 + 1));
    ClearOriginLists();
}
BENCHMARK(OriginListLookups)->Arg(1000)->Arg(50000);

}  // namespace
}  // namespace parvane

BENCHMARK_MAIN();
