#include "catalogue/Catalogue.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

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

void AddReferences(const CourseList& courses, std::vector<GUID>& referenced) {
    for (const CourseRecord& course : courses.Records()) {
        ForEachExaminedSlot(course, [&](const GUID& guid) {
            if (!IsZeroGuid(guid)) {
                referenced.push_back(guid);
            }
        });
    }
}

// The GUIDs of every referencing slot, sorted and counted: a sorted list takes a few bytes for
// each GUID where a hash map takes a node.
void CountReferences(std::vector<GUID>& referenced, std::vector<GuidSlots>& slotsByGuid) {
    std::sort(referenced.begin(), referenced.end(), GuidBefore());
    slotsByGuid.clear();
    for (std::size_t first = 0; first < referenced.size();) {
        std::size_t last = first + 1;
        while (last < referenced.size() && referenced[last] == referenced[first]) {
            ++last;
        }
        slotsByGuid.push_back({referenced[first], static_cast<int>(last - first)});
        first = last;
    }
    slotsByGuid.shrink_to_fit();
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
    std::vector<GUID> referenced;
    AddReferences(catalogue.installedCourses, referenced);
    AddReferences(catalogue.cloakedCourses, referenced);
    CountReferences(referenced, counts.slotsByGuid);
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
    const auto found = std::lower_bound(
        counts.slotsByGuid.begin(), counts.slotsByGuid.end(), library.guid,
        [](const GuidSlots& entry, const GUID& guid) { return GuidBefore()(entry.guid, guid); });
    return found == counts.slotsByGuid.end() || found->guid != library.guid ? 0 : found->slots;
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
