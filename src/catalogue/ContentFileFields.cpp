#include "catalogue/ContentFileFields.h"

#include <utility>

#include "catalogue/HeaderReaders.h"

namespace parvane {

void FillFromCourseFile(CourseRecord& course, RemovableFolderMemo* memo) {
    // One reading of the header serves both lists.
    if (const auto header = ReadCourseHeader(course.filename)) {
        ReferencedNames names;
        if (DecodeReferencedLibraryNames(*header, names)) {
            course.libraryNames = std::move(names.names);
        }
        ReferencedGuids guids;
        if (DecodeReferencedLibraryGuids(*header, guids)) {
            course.libraryGuids = guids.guids;
            course.libraryCount = guids.count;
        }
    }
    course.removable = IsRemovableLocation(course.filename, memo);
}

void FillFromLibraryFile(LibraryRecord& library, RemovableFolderMemo* memo) {
    NameAndGuid header;
    if (GetHeaderNameAndGuid(library.filename, header)) {
        library.headerName = std::move(header.name);
        library.guid = header.guid;
    }
    library.removable = IsRemovableLocation(library.filename, memo);
}

}  // namespace parvane
