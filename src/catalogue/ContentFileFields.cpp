#include "catalogue/ContentFileFields.h"

#include <utility>

#include "catalogue/HeaderReaders.h"

namespace parvane {

namespace {

CourseHeaderFields ReadCourseFields(const std::string& path) {
    CourseHeaderFields fields;
    // One reading of the header serves both lists.
    if (const auto header = ReadCourseHeader(path)) {
        fields.namesRead = DecodeReferencedLibraryNames(*header, fields.names);
        fields.guidsRead = DecodeReferencedLibraryGuids(*header, fields.guids);
    }
    return fields;
}

LibraryHeaderFields ReadLibraryFields(const std::string& path) {
    LibraryHeaderFields fields;
    fields.read = GetHeaderNameAndGuid(path, fields.header);
    return fields;
}

// The status of a file whose header a cache may hold; false for a folder, and when the status
// cannot be taken (the file is then read as without a cache, and fails as it would).
bool TakeFileStatus(const std::string& path, FileStatus& status) {
    return TheMachine().GetFileStatus(path, status) == ERR_SUCCESS &&
           (status.attributes & ATTR_DIRECTORY) == 0;
}

// The fields from the cache, else read and kept; read without a cache.
template <typename Fields, typename Find, typename Read, typename Keep>
Fields HeaderFields(const std::string& path, HeaderCache* headers, FileStatus& status, Find find,
                    Read read, Keep keep) {
    if (headers == nullptr) {
        return read(path);
    }
    Fields fields;
    const bool statusTaken = TakeFileStatus(path, status);
    if (statusTaken && (headers->*find)(path, status, fields)) {
        return fields;
    }
    fields = read(path);
    if (statusTaken) {
        (headers->*keep)(path, status, fields);
    }
    return fields;
}

bool IsRemovable(const std::string& path, RemovableFolderMemo* memo, const HeaderCache* headers,
                 const FileStatus& status) {
    return headers == nullptr ? IsRemovableLocation(path, memo)
                              : IsRemovableLocation(path, status.attributes, memo);
}

}  // namespace

void FillFromCourseFile(CourseRecord& course, RemovableFolderMemo* memo, HeaderCache* headers) {
    FileStatus status;
    CourseHeaderFields fields =
        HeaderFields<CourseHeaderFields>(course.filename, headers, status, &HeaderCache::FindCourse,
                                         ReadCourseFields, &HeaderCache::KeepCourse);
    if (fields.namesRead) {
        course.libraryNames = std::move(fields.names.names);
    }
    if (fields.guidsRead) {
        course.libraryGuids = fields.guids.guids;
        course.libraryCount = fields.guids.count;
    }
    course.removable = IsRemovable(course.filename, memo, headers, status);
}

void FillFromLibraryFile(LibraryRecord& library, RemovableFolderMemo* memo, HeaderCache* headers) {
    FileStatus status;
    LibraryHeaderFields fields = HeaderFields<LibraryHeaderFields>(
        library.filename, headers, status, &HeaderCache::FindLibrary, ReadLibraryFields,
        &HeaderCache::KeepLibrary);
    if (fields.read) {
        library.headerName = std::move(fields.header.name);
        library.guid = fields.header.guid;
    }
    library.removable = IsRemovable(library.filename, memo, headers, status);
}

}  // namespace parvane
