#pragma once

// The process-wide catalogue: the courses and libraries registered for the game (installed)
// and those the cloaking tool hides from it (cloaked), the products found on the machine, and
// the lookups over them.
//
// Pointers and spans handed out point into the lists and stay valid only until the list they
// come from next changes (a load or a registration).

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "catalogue/RecordList.h"
#include "catalogue/Records.h"
#include "catalogue/StockContent.h"

namespace parvane {

// How many slots of all courses reference each library GUID, built on first use after a
// change of either course list: a table of the GUIDs by their hash (open addressing, at most
// half full; a zero GUID, which never counts, marks a free place), and at the same place in
// `slots` how many slots name it.
struct ReferenceCounts {
    std::vector<GUID> guids;
    std::vector<int> slots;
    std::uint64_t installedStamp = 0;
    std::uint64_t cloakedStamp = 0;
    bool built = false;
};

struct Catalogue {
    CourseList installedCourses;
    CourseList cloakedCourses;
    LibraryList installedLibraries;
    LibraryList cloakedLibraries;
    std::vector<GameEntry> supportedGames;

    ReferenceCounts referenceCounts;  // kept by CountCoursesReferencingLibrary
};

Catalogue& TheCatalogue();

// Lookups by GUID text. "Known" searches the installed list, then the cloaked one. All compare
// the whole text exactly, case included.
bool IsCourseKnown(std::string_view guidText);
bool IsCourseInstalled(std::string_view guidText);
bool IsCourseCloaked(std::string_view guidText);
bool IsLibraryKnown(std::string_view guidText);
bool IsLibraryInstalled(std::string_view guidText);
bool IsLibraryCloaked(std::string_view guidText);
// The first match among the installed records, else among the cloaked ones; nullptr if none.
const CourseRecord* FindCourse(std::string_view guidText);
const LibraryRecord* FindLibrary(std::string_view guidText);

// Calls `visit` with the GUID of each slot of `course` in the order the game reads them: from
// slot 0 on while the slot carries a library name, never more than 40.
template <typename Visit>
void ForEachExaminedSlot(const CourseRecord& course, Visit visit) {
    for (int slot = 0; slot < MAX_REFERENCED_LIBRARIES; ++slot) {
        visit(LibraryGuidInSlot(course, slot));
        if (LibraryNameInSlot(course, slot).empty()) {
            break;
        }
    }
}

// Slots of installed and cloaked courses whose GUID is the library's `guid`; a course that
// names it twice counts twice. A course's slots are examined from slot 0 while the slot's
// library name is not empty, up to 40 slots; zero GUIDs never count. Above 0: referenced.
int CountCoursesReferencingLibrary(const LibraryRecord& library);
// Builds what CountCoursesReferencingLibrary reads when a change of the course lists made it
// stale: it then only reads, and may be called from several threads at once while the lists
// stay as they are.
void UpdateReferenceCounts();

std::span<const CourseRecord> GetInstalledCourses();
std::span<const CourseRecord> GetCloakedCourses();
std::span<const LibraryRecord> GetInstalledLibraries();
std::span<const LibraryRecord> GetCloakedLibraries();

}  // namespace parvane
