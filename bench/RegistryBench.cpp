// Timings of the Wine registry backend: reading and writing a registry file the size of a
// fresh prefix's system.reg, and registering course keys one handle at a time.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/wine/registry/RegistryParser.h"
#include "platform/wine/registry/RegistryWriter.h"
#include "platform/wine/registry/WineRegistry.h"

namespace parvane::wine {
namespace {

namespace fs = std::filesystem;

std::string GuidText(int n) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-40F4-4B13-A863-B20C58118C22}", n);
    return text;
}

// About 9000 keys with three values each: the size of a fresh 64-bit prefix's system.reg.
std::string SystemRegText(int keys) {
    std::string text =
        "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n"
        "#arch=win64\n";
    for (int i = 0; i < keys; ++i) {
        text += "\n[Software\\\\Classes\\\\CLSID\\\\" + GuidText(i) +
                "] 1796543988\n#time=1dd8557c3e49862\n@=\"Some component\"\n"
                "\"ThreadingModel\"=\"Both\"\n\"Flags\"=dword:00000001\n";
    }
    return text;
}

void ParseSystemReg(benchmark::State& state) {
    const std::string text = SystemRegText(9000);
    for (auto _ : state) {
        HiveTree tree;
        ParseError error;
        benchmark::DoNotOptimize(ParseHive(text, tree, error));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ParseSystemReg)->Unit(benchmark::kMillisecond);

void FormatSystemReg(benchmark::State& state) {
    const std::string text = SystemRegText(9000);
    HiveTree tree;
    ParseError error;
    ParseHive(text, tree, error);
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatHive(tree));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(FormatSystemReg)->Unit(benchmark::kMillisecond);

// One course registration as the program makes it: create the key, eight values, close (which
// saves the file), in a prefix whose system.reg already holds `state.range(0)` keys.
void RegisterCourse(benchmark::State& state) {
    std::string name = (fs::temp_directory_path() / "parvane-registry-bench-XXXXXX").string();
    if (::mkdtemp(name.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const fs::path folder = name;
    std::ofstream(folder / "system.reg") << SystemRegText(static_cast<int>(state.range(0)));
    std::ofstream(folder / "user.reg") << "WINE REGISTRY Version 2\n\n#arch=win64\n";
    {
        WineRegistry registry(folder);
        std::string message;
        if (!registry.Load(message)) {
            state.SkipWithError(message.c_str());
            return;
        }
        int n = 0;
        for (auto _ : state) {
            KeyHandle key = 0;
            registry.CreateKey(Hive::LocalMachine,
                               "Software\\Quorlix\\Greenvale 06\\Courses\\" + GuidText(n++),
                               "Parvane", key);
            for (const char* value :
                 {"Name", "Filename", "Flag", "Logo", "Audio", "Music", "Picture", "Text"}) {
                registry.SetValue(key, value, REGTYPE_SZ, "C:\\Games\\Greenvale 06\\Courses\\x");
            }
            registry.CloseKey(key);
        }
    }
    fs::remove_all(folder);
}
BENCHMARK(RegisterCourse)->Arg(100)->Arg(9000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace parvane::wine
BENCHMARK_MAIN();
