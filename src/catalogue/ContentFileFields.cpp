#include "catalogue/ContentFileFields.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/Machine.h"

namespace parvane {

namespace {

// Files read together: enough to keep the disk busy, few enough that their blocks stay small.
constexpr std::size_t READ_BATCH = 256;

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// What differs between courses and libraries: the block read, its decoding, the cache's
// entries and the record's fields.
struct CourseFiles {
    using Record = CourseRecord;
    using Fields = CourseHeaderFields;
    static constexpr std::size_t BLOCK_SIZE = COURSE_HEADER_SIZE;
    static constexpr auto FIND = &HeaderCache::FindCourse;
    static constexpr auto KEEP = &HeaderCache::KeepCourse;

    // One reading of the header serves both lists.
    static Fields Decode(const std::string& block) {
        Fields fields;
        fields.namesRead = DecodeReferencedLibraryNames(Bytes(block), fields.names);
        fields.guidsRead = DecodeReferencedLibraryGuids(Bytes(block), fields.guids);
        return fields;
    }
    static void Apply(Fields& fields, Record& course) {
        if (fields.namesRead) {
            course.libraryNames = std::move(fields.names.names);
        }
        if (fields.guidsRead) {
            course.libraryGuids = fields.guids.guids;
            course.libraryCount = fields.guids.count;
        }
    }
};

struct LibraryFiles {
    using Record = LibraryRecord;
    using Fields = LibraryHeaderFields;
    static constexpr std::size_t BLOCK_SIZE = NAME_BLOCK_SIZE;
    static constexpr auto FIND = &HeaderCache::FindLibrary;
    static constexpr auto KEEP = &HeaderCache::KeepLibrary;

    static Fields Decode(const std::string& block) {
        Fields fields;
        fields.read = DecodeNameAndGuid(Bytes(block), fields.header);
        return fields;
    }
    static void Apply(Fields& fields, Record& library) {
        if (fields.read) {
            library.headerName = std::move(fields.header.name);
            library.guid = fields.header.guid;
        }
    }
};

// The status of a file whose header a cache may hold; false for a folder, and when the status
// cannot be taken (the file is then read as without a cache, and fails as it would).
bool TakeFileStatus(const std::string& path, FileStatus& status) {
    return TheMachine().GetFileStatus(path, status) == ERR_SUCCESS &&
           (status.attributes & ATTR_DIRECTORY) == 0;
}

template <typename Files>
void FillFromFiles(std::span<typename Files::Record> records, RemovableFolderMemo* memo,
                   HeaderCache* headers) {
    std::vector<FileStatus> statuses(records.size());
    std::vector<bool> statusTaken(records.size(), false);
    std::vector<std::size_t> toRead;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string& path = records[i].filename;
        if (headers != nullptr) {
            typename Files::Fields fields;
            statusTaken[i] = TakeFileStatus(path, statuses[i]);
            if (statusTaken[i] && (headers->*Files::FIND)(path, statuses[i], fields)) {
                Files::Apply(fields, records[i]);
                continue;
            }
        }
        if (!path.empty()) {
            toRead.push_back(i);
            paths.push_back(path);
        }
    }
    std::vector<std::string> blocks;
    std::vector<Win32Error> errors;
    for (std::size_t first = 0; first < paths.size(); first += READ_BATCH) {
        const auto batch =
            std::span(paths).subspan(first, std::min(READ_BATCH, paths.size() - first));
        TheMachine().ReadFileStarts({batch.begin(), batch.end()}, Files::BLOCK_SIZE, blocks,
                                    errors);
        for (std::size_t read = 0; read < blocks.size(); ++read) {
            const std::size_t i = toRead[first + read];
            if (errors[read] != ERR_SUCCESS) {
                continue;  // not kept: a file that cannot be read now may be readable next time
            }
            typename Files::Fields fields;
            if (blocks[read].size() == Files::BLOCK_SIZE) {
                fields = Files::Decode(blocks[read]);
            }
            if (statusTaken[i]) {
                (headers->*Files::KEEP)(records[i].filename, statuses[i], fields);
            }
            Files::Apply(fields, records[i]);
        }
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        // The attributes just taken tell whether the path is itself a folder.
        records[i].removable =
            headers == nullptr
                ? IsRemovableLocation(records[i].filename, memo)
                : IsRemovableLocation(records[i].filename, statuses[i].attributes, memo);
    }
}

}  // namespace

void FillFromCourseFiles(std::span<CourseRecord> courses, RemovableFolderMemo* memo,
                         HeaderCache* headers) {
    FillFromFiles<CourseFiles>(courses, memo, headers);
}

void FillFromLibraryFiles(std::span<LibraryRecord> libraries, RemovableFolderMemo* memo,
                          HeaderCache* headers) {
    FillFromFiles<LibraryFiles>(libraries, memo, headers);
}

}  // namespace parvane
