#include "catalogue/ContentFileFields.h"

#include <utility>

#include "archive/Folders.h"
#include "catalogue/HeaderReaders.h"

namespace parvane {

void FillFromCourseFile(CourseRecord& course) {
    ReferencedNames names;
    if (GetReferencedLibraryNames(course.filename, names)) {
        course.libraryNames = std::move(names.names);
    }
    ReferencedGuids guids;
    if (GetReferencedLibraryGuids(course.filename, guids)) {
        course.libraryGuids = guids.guids;
        course.libraryCount = guids.count;
    }
    course.removable = IsRemovableLocation(course.filename);
}

void FillFromLibraryFile(LibraryRecord& library) {
    NameAndGuid header;
    if (GetHeaderNameAndGuid(library.filename, header)) {
        library.headerName = std::move(header.name);
        library.guid = header.guid;
    }
    library.removable = IsRemovableLocation(library.filename);
}

}  // namespace parvane
