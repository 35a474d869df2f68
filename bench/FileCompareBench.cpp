// Timing of the content comparison: hashing a course or library file through the machine's
// file streams in 16 KiB blocks, from a small library up to a large course.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "archive/FileCompare.h"
#include "support/ContentFiles.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

void DigestOfFile(benchmark::State& state) {
    test::TestMachine machine;
    const auto size = static_cast<std::size_t>(state.range(0));
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 131 + i / 4096);
    }
    const std::string path = machine.ScratchFolder() + "\\Course.tcr";
    test::WriteFileBytes(path, bytes);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeFileDigest(path));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(size));
}
BENCHMARK(DigestOfFile)->Arg(64 << 10)->Arg(4 << 20)->Arg(64 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace parvane

BENCHMARK_MAIN();
