#include "catalogue/Catalogue.h"

namespace parvane {

namespace {

void AddReferences(const CourseList& courses, ReferenceCounts& counts) {
    for (const CourseRecord& course : courses.Records()) {
        ForEachExaminedSlot(course, [&](const GUID& guid) {
            if (!IsZeroGuid(guid)) {
                ++counts.slotsByGuid[guid];
            }
        });
    }
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
    counts.slotsByGuid.clear();
    AddReferences(catalogue.installedCourses, counts);
    AddReferences(catalogue.cloakedCourses, counts);
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

std::size_t GuidHash::operator()(const GUID& guid) const {
    // FNV-1a over the 16 bytes.
    std::uint64_t hash = 14695981039346656037ull;
    auto mix = [&](std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            hash = (hash ^ ((value >> (8 * i)) & 0xFF)) * 1099511628211ull;
        }
    };
    mix(guid.Data1, 4);
    mix(guid.Data2, 2);
    mix(guid.Data3, 2);
    for (std::uint8_t byte : guid.Data4) {
        mix(byte, 1);
    }
    return static_cast<std::size_t>(hash);
}

Catalogue& TheCatalogue() {
    static Catalogue catalogue;
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
    const auto found = counts.slotsByGuid.find(library.guid);
    return found == counts.slotsByGuid.end() ? 0 : found->second;
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
