#include "catalogue/Catalogue.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace parvane {

namespace {

// The 16 bytes of a GUID as two numbers.
std::array<std::uint64_t, 2> GuidNumbers(const GUID& guid) {
    static_assert(sizeof(GUID) == GUID_BINARY_SIZE);
    std::array<std::uint64_t, 2> numbers{};
    std::memcpy(numbers.data(), &guid, sizeof(GUID));
    return numbers;
}

// An order of GUIDs, for the counts to be searched in: any order serves, and comparing two
// numbers is quicker than comparing the four fields. An object, not a function, so that the
// sort and the searches compare in place instead of calling through a pointer.
struct GuidBefore {
    bool operator()(const GUID& first, const GUID& second) const {
        const std::array<std::uint64_t, 2> a = GuidNumbers(first);
        const std::array<std::uint64_t, 2> b = GuidNumbers(second);
        return a[0] != b[0] ? a[0] < b[0] : a[1] < b[1];
    }
};

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

// The GUIDs of every referencing slot, sorted, then each kept once with its number of slots: a
// sorted list takes a few bytes for each GUID where a hash map takes a node. The list is made
// at its size and the GUIDs counted where they lie, so that nothing is held twice on the way.
void CountReferences(const Catalogue& catalogue, ReferenceCounts& counts) {
    std::size_t total = 0;
    ForEachReference(catalogue, [&total](const GUID&) { ++total; });
    std::vector<GUID> guids;
    guids.reserve(total);
    ForEachReference(catalogue, [&guids](const GUID& guid) { guids.push_back(guid); });
    std::sort(guids.begin(), guids.end(), GuidBefore());
    std::vector<int> slots;
    std::size_t kept = 0;
    for (std::size_t first = 0; first < guids.size();) {
        std::size_t last = first + 1;
        while (last < guids.size() && guids[last] == guids[first]) {
            ++last;
        }
        guids[kept++] = guids[first];
        slots.push_back(static_cast<int>(last - first));
        first = last;
    }
    guids.resize(kept);
    counts.guids = std::move(guids);
    counts.slots = std::move(slots);
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
    const auto found =
        std::lower_bound(counts.guids.begin(), counts.guids.end(), library.guid, GuidBefore());
    return found == counts.guids.end() || *found != library.guid
               ? 0
               : counts.slots[static_cast<std::size_t>(found - counts.guids.begin())];
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
