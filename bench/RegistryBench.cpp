// Timings of the Wine registry backend: reading and writing a registry file the size of a
// fresh prefix's system.reg, registering course keys one handle at a time, and a prefix of a
// large collection (courses with eight values, libraries with two) loaded and read entry by
// entry as the catalogue reads it.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>

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

constexpr const char* COURSE_VALUES[] = {"Name",    "Filename", "Audio", "Music",
                                         "Picture", "Text",     "Flag",  "Logo"};
constexpr const char* LIBRARY_VALUES[] = {"Name", "Filename"};
// As the game sees them: a 64-bit prefix keeps them under Software\Wow6432Node.
constexpr std::string_view COURSES = "Quorlix\\Greenvale 06\\Courses";
constexpr std::string_view LIBRARIES = "Quorlix\\Greenvale 06\\Libraries";

// One course to five libraries, in Wine's order.
std::string CollectionText(int entries) {
    const int courses = entries / 6;
    std::string text =
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n";
    auto addStore = [&](std::string_view store, int count, std::span<const char* const> names) {
        std::string path = "Software\\Wow6432Node\\" + std::string(store);
        for (std::size_t at = 0; (at = path.find('\\', at)) != std::string::npos; at += 2) {
            path.insert(at, 1, '\\');
        }
        for (int i = 0; i < count; ++i) {
            text += "\n[" + path + "\\\\" + GuidText(i) + "] 1796543990\n#time=1dd8557c507cb1a\n";
            for (const char* name : names) {
                text += std::string("\"") + name +
                        "\"=\"C:\\\\Games\\\\Greenvale 06\\\\Content\\\\" + std::to_string(i) +
                        "\\\\" + name + ".dat\"\n";
            }
        }
    };
    addStore(COURSES, courses, COURSE_VALUES);
    addStore(LIBRARIES, entries - courses, LIBRARY_VALUES);
    return text;
}

// A prefix folder holding the collection's system.reg, removed at the end.
struct CollectionPrefix {
    explicit CollectionPrefix(int entries) {
        std::string name = (fs::temp_directory_path() / "parvane-registry-bench-XXXXXX").string();
        if (::mkdtemp(name.data()) != nullptr) {
            folder = name;
            std::ofstream(folder / "system.reg") << CollectionText(entries);
            std::ofstream(folder / "user.reg") << "WINE REGISTRY Version 2\n\n#arch=win64\n";
        }
    }
    ~CollectionPrefix() {
        if (!folder.empty()) {
            fs::remove_all(folder);
        }
    }
    fs::path folder;
};

void LoadCollection(benchmark::State& state) {
    const CollectionPrefix prefix(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        WineRegistry registry(prefix.folder);
        std::string message;
        if (!registry.Load(message)) {
            state.SkipWithError(message.c_str());
            return;
        }
    }
}
BENCHMARK(LoadCollection)->Arg(60000)->Unit(benchmark::kMillisecond);

// Every entry of a store: its name, then its values through a handle of its own.
void ReadStore(WineRegistry& registry, std::string_view store, std::span<const char* const> names) {
    KeyHandle storeKey = 0;
    const std::string storePath = "Software\\" + std::string(store);
    registry.OpenKey(Hive::LocalMachine, storePath, storeKey);
    std::string name;
    for (std::uint32_t i = 0; registry.EnumKey(storeKey, i, 256, name) == ERR_SUCCESS; ++i) {
        KeyHandle entry = 0;
        registry.OpenKey(Hive::LocalMachine, storePath + "\\" + name, entry);
        for (const char* value : names) {
            std::uint32_t type = 0;
            std::string data;
            registry.QueryValue(entry, value, 256, type, data);
        }
        registry.CloseKey(entry);
    }
    registry.CloseKey(storeKey);
}

void ReadCollection(benchmark::State& state) {
    const CollectionPrefix prefix(static_cast<int>(state.range(0)));
    WineRegistry registry(prefix.folder);
    std::string message;
    if (!registry.Load(message)) {
        state.SkipWithError(message.c_str());
        return;
    }
    for (auto _ : state) {
        ReadStore(registry, COURSES, COURSE_VALUES);
        ReadStore(registry, LIBRARIES, LIBRARY_VALUES);
    }
}
BENCHMARK(ReadCollection)->Arg(60000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace parvane::wine
BENCHMARK_MAIN();
