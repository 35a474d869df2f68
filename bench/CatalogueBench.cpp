// Catalogue lookups at the sizes of a large installation: 50,000 libraries, 10,000 courses
// that reference up to 40 of them each.

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "uninstall/UninstallLists.h"

namespace parvane {
namespace {

constexpr int LIBRARIES = 50000;
constexpr int COURSES = 10000;

GUID RandomGuid(std::mt19937& random) {
    std::uniform_int_distribution<unsigned> byte(0, 255);
    std::uint8_t bytes[16];
    for (std::uint8_t& b : bytes) {
        b = static_cast<std::uint8_t>(byte(random));
    }
    return GuidFromBytes(bytes);
}

std::string RandomName(std::mt19937& random) {
    std::uniform_int_distribution<int> letter(0, 51);
    std::string name(12, ' ');
    for (char& c : name) {
        const int l = letter(random);
        c = static_cast<char>(l < 26 ? 'a' + l : 'A' + l - 26);
    }
    return name;
}

struct Fixture {
    std::vector<LibraryRecord> libraries;
    std::vector<CourseRecord> courses;
};

const Fixture& Content() {
    static const Fixture fixture = [] {
        std::mt19937 random(2006);
        Fixture f;
        for (int i = 0; i < LIBRARIES; ++i) {
            LibraryRecord library;
            library.guid = RandomGuid(random);
            library.guidText = GuidToText(library.guid);
            library.name = RandomName(random);
            library.headerName = library.name;
            f.libraries.push_back(std::move(library));
        }
        std::uniform_int_distribution<int> pickLibrary(0, LIBRARIES - 1);
        std::uniform_int_distribution<int> pickCount(1, MAX_REFERENCED_LIBRARIES);
        for (int i = 0; i < COURSES; ++i) {
            CourseRecord course;
            course.guidText = GuidToText(RandomGuid(random));
            course.name = RandomName(random);
            course.libraryCount = pickCount(random);
            for (int slot = 0; slot < course.libraryCount; ++slot) {
                const LibraryRecord& library = f.libraries[pickLibrary(random)];
                course.libraryGuids.push_back(library.guid);
                course.libraryNames.push_back(library.headerName);
            }
            f.courses.push_back(std::move(course));
        }
        return f;
    }();
    return fixture;
}

// Installed and cloaked lists in a 9:1 split, loaded as the loader does.
void LoadCatalogue() {
    Catalogue& catalogue = TheCatalogue();
    catalogue = Catalogue{};
    const Fixture& f = Content();
    for (std::size_t i = 0; i < f.libraries.size(); ++i) {
        auto& list = i % 10 == 0 ? catalogue.cloakedLibraries : catalogue.installedLibraries;
        list.AppendUnsorted(f.libraries[i]);
    }
    for (std::size_t i = 0; i < f.courses.size(); ++i) {
        auto& list = i % 10 == 0 ? catalogue.cloakedCourses : catalogue.installedCourses;
        list.AppendUnsorted(f.courses[i]);
    }
    for (auto* list : {&catalogue.installedLibraries, &catalogue.cloakedLibraries}) {
        list->Sort();
    }
    for (auto* list : {&catalogue.installedCourses, &catalogue.cloakedCourses}) {
        list->Sort();
    }
}

void BM_BulkLoadAndSort(benchmark::State& state) {
    Content();
    for (auto _ : state) {
        LoadCatalogue();
    }
}
BENCHMARK(BM_BulkLoadAndSort)->Unit(benchmark::kMillisecond);

void BM_FindLibraryHit(benchmark::State& state) {
    LoadCatalogue();
    const auto& libraries = Content().libraries;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindLibrary(libraries[i].guidText));
        i = (i + 7919) % libraries.size();
    }
}
BENCHMARK(BM_FindLibraryHit);

void BM_IsLibraryKnownMiss(benchmark::State& state) {
    LoadCatalogue();
    const std::string missing = "{00000000-0000-0000-0000-000000000001}";
    for (auto _ : state) {
        benchmark::DoNotOptimize(IsLibraryKnown(missing));
    }
}
BENCHMARK(BM_IsLibraryKnownMiss);

void BM_IsCourseKnown(benchmark::State& state) {
    LoadCatalogue();
    const auto& courses = Content().courses;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(IsCourseKnown(courses[i].guidText));
        i = (i + 7919) % courses.size();
    }
}
BENCHMARK(BM_IsCourseKnown);

// Every library of the catalogue checked once, as a full analysis does.
void BM_FindEveryLibraryAfterLoad(benchmark::State& state) {
    const auto& libraries = Content().libraries;
    for (auto _ : state) {
        state.PauseTiming();
        LoadCatalogue();
        state.ResumeTiming();
        for (const LibraryRecord& library : libraries) {
            benchmark::DoNotOptimize(FindLibrary(library.guidText));
        }
    }
}
BENCHMARK(BM_FindEveryLibraryAfterLoad)->Unit(benchmark::kMillisecond);

void BM_CountReferencesOneLibrary(benchmark::State& state) {
    LoadCatalogue();
    const auto& libraries = Content().libraries;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CountCoursesReferencingLibrary(libraries[i]));
        i = (i + 7919) % libraries.size();
    }
}
BENCHMARK(BM_CountReferencesOneLibrary);

// The library uninstall dialog: one count per listed library, right after a load.
void BM_CountReferencesEveryLibraryAfterLoad(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        LoadCatalogue();
        state.ResumeTiming();
        for (const LibraryRecord& library : GetInstalledLibraries()) {
            benchmark::DoNotOptimize(CountCoursesReferencingLibrary(library));
        }
    }
}
BENCHMARK(BM_CountReferencesEveryLibraryAfterLoad)->Unit(benchmark::kMillisecond);

// The whole library uninstall list right after a load: one line with its usage count per
// installed and cloaked library.
void BM_LibraryListLinesAfterLoad(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        LoadCatalogue();
        state.ResumeTiming();
        benchmark::DoNotOptimize(LibraryListLines());
    }
}
BENCHMARK(BM_LibraryListLinesAfterLoad)->Unit(benchmark::kMillisecond);

// A registration: one record joins the sorted list.
void BM_RegisterLibrary(benchmark::State& state) {
    LoadCatalogue();
    LibraryRecord extra = Content().libraries.front();
    extra.name = "Registered";
    for (auto _ : state) {
        TheCatalogue().installedLibraries.Append(extra);
    }
}
BENCHMARK(BM_RegisterLibrary)->Unit(benchmark::kMicrosecond)->Iterations(200);

// A registration followed by a lookup, which rebuilds the index.
void BM_RegisterLibraryThenLookUp(benchmark::State& state) {
    LoadCatalogue();
    LibraryRecord extra = Content().libraries.front();
    extra.name = "Registered";
    for (auto _ : state) {
        TheCatalogue().installedLibraries.Append(extra);
        benchmark::DoNotOptimize(IsLibraryKnown(extra.guidText));
    }
}
BENCHMARK(BM_RegisterLibraryThenLookUp)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_IsStockLibrary(benchmark::State& state) {
    const std::string lower = "{fd82d3c1-9eea-45a3-901f-89838f9f0b95}";
    for (auto _ : state) {
        benchmark::DoNotOptimize(IsStockLibrary(lower));
    }
}
BENCHMARK(BM_IsStockLibrary);

}  // namespace
}  // namespace parvane

BENCHMARK_MAIN();
