#include "catalogue/Catalogue.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace parvane {

namespace {

// A power of two, as every size of the table is.
constexpr std::size_t MIN_COUNT_PLACES = 16;

// The place a GUID's search starts at in a table of `mask` + 1 places: its 16 bytes mixed, so
// that GUIDs which differ in a few bytes only spread over the table.
std::size_t FirstPlace(const GUID& guid, std::size_t mask) {
    static_assert(sizeof(GUID) == GUID_BINARY_SIZE);
    std::array<std::uint64_t, 2> numbers{};
    std::memcpy(numbers.data(), &guid, sizeof(GUID));
    std::uint64_t mixed = numbers[0] ^ (numbers[1] * 0x9E3779B97F4A7C15ULL);
    mixed ^= mixed >> 33;
    mixed *= 0xFF51AFD7ED558CCDULL;
    mixed ^= mixed >> 33;
    return static_cast<std::size_t>(mixed) & mask;
}

// The place of `guid` in the table, or the free place where it would go.
std::size_t PlaceOf(const std::vector<GUID>& guids, const GUID& guid) {
    const std::size_t mask = guids.size() - 1;
    std::size_t place = FirstPlace(guid, mask);
    while (!IsZeroGuid(guids[place]) && guids[place] != guid) {
        place = (place + 1) & mask;
    }
    return place;
}

template <typename Visit>
void ForEachReference(const Catalogue& catalogue, Visit visit) {
    for (const CourseList* courses : {&catalogue.installedCourses, &catalogue.cloakedCourses}) {
        for (const CourseRecord& course : courses->Records()) {
            ForEachExaminedSlot(course, [&](const GUID& guid) {
                if (!IsZeroGuid(guid)) {
                    visit(guid);
                }
            });
        }
    }
}

// Each GUID counted where it lies in the table, which is sized for every referencing slot
// naming a GUID of its own.
void CountReferences(const Catalogue& catalogue, ReferenceCounts& counts) {
    std::size_t total = 0;
    ForEachReference(catalogue, [&total](const GUID&) { ++total; });
    std::size_t size = MIN_COUNT_PLACES;
    while (size < 2 * total) {
        size *= 2;
    }
    counts.guids.assign(size, GUID{});
    counts.slots.assign(size, 0);
    ForEachReference(catalogue, [&counts](const GUID& guid) {
        const std::size_t place = PlaceOf(counts.guids, guid);
        counts.guids[place] = guid;
        ++counts.slots[place];
    });
}

const ReferenceCounts& CurrentReferenceCounts() {
    Catalogue& catalogue = TheCatalogue();
    ReferenceCounts& counts = catalogue.referenceCounts;
    const std::uint64_t installedStamp = catalogue.installedCourses.Stamp();
    const std::uint64_t cloakedStamp = catalogue.cloakedCourses.Stamp();
    if (counts.built && counts.installedStamp == installedStamp &&
        counts.cloakedStamp == cloakedStamp) {
        return counts;
    }
    CountReferences(catalogue, counts);
    counts.installedStamp = installedStamp;
    counts.cloakedStamp = cloakedStamp;
    counts.built = true;
    return counts;
}

template <typename Record>
const Record* FindFirst(const RecordList<Record>& installed, const RecordList<Record>& cloaked,
                        std::string_view guidText) {
    const Record* found = installed.FindByGuidText(guidText);
    return found != nullptr ? found : cloaked.FindByGuidText(guidText);
}

}  // namespace

Catalogue& TheCatalogue() {
    // Never destroyed: freeing tens of thousands of records one by one as the program ends
    // would only delay its end.
    static Catalogue& catalogue = *new Catalogue();
    return catalogue;
}

bool IsCourseKnown(std::string_view guidText) {
    return FindCourse(guidText) != nullptr;
}

bool IsCourseInstalled(std::string_view guidText) {
    return TheCatalogue().installedCourses.FindByGuidText(guidText) != nullptr;
}

bool IsCourseCloaked(std::string_view guidText) {
    return TheCatalogue().cloakedCourses.FindByGuidText(guidText) != nullptr;
}

bool IsLibraryKnown(std::string_view guidText) {
    return FindLibrary(guidText) != nullptr;
}

bool IsLibraryInstalled(std::string_view guidText) {
    return TheCatalogue().installedLibraries.FindByGuidText(guidText) != nullptr;
}

bool IsLibraryCloaked(std::string_view guidText) {
    return TheCatalogue().cloakedLibraries.FindByGuidText(guidText) != nullptr;
}

const CourseRecord* FindCourse(std::string_view guidText) {
    const Catalogue& catalogue = TheCatalogue();
    return FindFirst(catalogue.installedCourses, catalogue.cloakedCourses, guidText);
}

const LibraryRecord* FindLibrary(std::string_view guidText) {
    const Catalogue& catalogue = TheCatalogue();
    return FindFirst(catalogue.installedLibraries, catalogue.cloakedLibraries, guidText);
}

int CountCoursesReferencingLibrary(const LibraryRecord& library) {
    const ReferenceCounts& counts = CurrentReferenceCounts();
    return IsZeroGuid(library.guid) ? 0 : counts.slots[PlaceOf(counts.guids, library.guid)];
}

void UpdateReferenceCounts() {
    CurrentReferenceCounts();
}

std::span<const CourseRecord> GetInstalledCourses() {
    return TheCatalogue().installedCourses.Records();
}

std::span<const CourseRecord> GetCloakedCourses() {
    return TheCatalogue().cloakedCourses.Records();
}

std::span<const LibraryRecord> GetInstalledLibraries() {
    return TheCatalogue().installedLibraries.Records();
}

std::span<const LibraryRecord> GetCloakedLibraries() {
    return TheCatalogue().cloakedLibraries.Records();
}

}  // namespace parvane
