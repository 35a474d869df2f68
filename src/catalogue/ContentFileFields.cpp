#include "catalogue/ContentFileFields.h"

#include <algorithm>
#include <optional>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/GameFolders.h"
#include "platform/Machine.h"

namespace parvane {

namespace {

// Files read together: enough to keep the disk busy, few enough that their blocks stay small.
constexpr std::size_t READ_BATCH = 256;
// Records looked up in the cache together: their statuses are taken in one call.
constexpr std::size_t CACHE_BATCH = 4096;

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// What differs between courses and libraries: the block read, its decoding, the cache's
// entries and the record's fields.
struct CourseFiles {
    using Record = CourseRecord;
    using Fields = CourseHeaderFields;
    static constexpr std::size_t BLOCK_SIZE = COURSE_HEADER_SIZE;
    static constexpr auto LOCATE = &HeaderCache::LocateCourse;
    static constexpr auto READ = &HeaderCache::ReadCourse;
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
            const auto names =
                std::span(fields.names.names).first(static_cast<std::size_t>(fields.names.count));
            course.libraryNames.assign(std::make_move_iterator(names.begin()),
                                       std::make_move_iterator(names.end()));
        }
        if (fields.guidsRead) {
            course.libraryGuids.assign(fields.guids.guids.begin(),
                                       fields.guids.guids.begin() + fields.guids.count);
            course.libraryCount = fields.guids.count;
        }
    }
    // The fields as a record from the registry has them, before any header was read.
    static void Reset(Record& course) {
        course.libraryNames.clear();
        course.libraryGuids.clear();
        course.libraryCount = 0;
    }
};

struct LibraryFiles {
    using Record = LibraryRecord;
    using Fields = LibraryHeaderFields;
    static constexpr std::size_t BLOCK_SIZE = NAME_BLOCK_SIZE;
    static constexpr auto LOCATE = &HeaderCache::LocateLibrary;
    static constexpr auto READ = &HeaderCache::ReadLibrary;
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
    static void Reset(Record& library) {
        library.headerName.clear();
        library.guid = GUID{};
    }
};

// The statuses of the files or folders at `places` of the cache, the k-th at `pathOf(k)`: as
// they were taken ahead, the others asked of the machine together once it is free (see
// HeaderCache::TakeStatusesAhead).
template <typename PathOf>
std::vector<PathStatus> StatusesAt(HeaderCache& headers, std::span<const HeaderCache::Place> places,
                                   PathOf pathOf) {
    std::vector<PathStatus> statuses(places.size());
    std::vector<std::size_t> asked;
    std::vector<std::string_view> askedPaths;
    for (std::size_t k = 0; k < places.size(); ++k) {
        if (const PathStatus* ahead = headers.StatusTakenAhead(places[k])) {
            statuses[k] = *ahead;
        } else {
            asked.push_back(k);
            askedPaths.emplace_back(pathOf(k));
        }
    }
    if (!asked.empty()) {
        headers.AwaitStatuses();
        std::vector<PathStatus> answers;
        TheMachine().GetFileStatuses(askedPaths, answers);
        for (std::size_t j = 0; j < asked.size(); ++j) {
            statuses[asked[j]] = answers[j];
        }
    }
    return statuses;
}

// Where the cache holds each record's fields, and those fields put into the record on trust
// (see TakeCachedCourseFields).
template <typename Files>
std::vector<HeaderCache::Place> TakeCachedFields(std::span<typename Files::Record> records,
                                                 HeaderCache& headers) {
    std::vector<HeaderCache::Place> places(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const HeaderCache::Place place = (headers.*Files::LOCATE)(records[i].filename);
        typename Files::Fields fields;
        if ((headers.*Files::READ)(place, fields)) {
            Files::Apply(fields, records[i]);
            places[i] = place;
        }
    }
    return places;
}

// The fields taken from the cache are kept for the files unchanged since (marked in `found`)
// and taken back from the others, the statuses of the files taken a batch at a time, so that
// what they hold on the way stays small however many records there are.
template <typename Files>
void CheckCachedFields(std::span<typename Files::Record> records, HeaderCache& headers,
                       std::span<const HeaderCache::Place> places,
                       std::vector<std::optional<std::uint32_t>>& attributes,
                       std::vector<char>& found) {
    std::vector<std::size_t> held;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (places[i].Holds()) {
            held.push_back(i);
        }
    }
    std::vector<HeaderCache::Place> batchPlaces;
    for (std::size_t first = 0; first < held.size(); first += CACHE_BATCH) {
        const auto batch =
            std::span(held).subspan(first, std::min(CACHE_BATCH, held.size() - first));
        batchPlaces.clear();
        for (const std::size_t i : batch) {
            batchPlaces.push_back(places[i]);
        }
        const std::vector<PathStatus> statuses = StatusesAt(
            headers, batchPlaces,
            [&](std::size_t k) -> const std::string& { return records[batch[k]].filename; });
        for (std::size_t k = 0; k < batch.size(); ++k) {
            const std::size_t i = batch[k];
            const PathStatus& status = statuses[k];
            attributes[i] = status.status.attributes;
            records[i].fileFound =
                status.error == ERR_SUCCESS && (status.status.attributes & ATTR_DIRECTORY) == 0;
            if (status.error == ERR_SUCCESS && headers.Unchanged(places[i], status.status)) {
                found[i] = 1;
            } else {
                Files::Reset(records[i]);
            }
        }
    }
}

// The fields of each record's file: from the cache when it holds the file unchanged, else
// read, together with the files' status, and kept in the cache. `cached` is what
// TakeCachedFields found. `attributes` is what the machine said of each path, when it was
// asked.
template <typename Files>
void FillHeaders(std::span<typename Files::Record> records, HeaderCache* headers,
                 std::span<const HeaderCache::Place> cached,
                 std::vector<std::optional<std::uint32_t>>& attributes) {
    std::vector<char> found(records.size(), 0);
    if (headers != nullptr) {
        CheckCachedFields<Files>(records, *headers, cached, attributes, found);
    }
    std::vector<std::size_t> toRead;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (found[i] == 0 && !records[i].filename.empty()) {
            toRead.push_back(i);
        }
    }
    if (!toRead.empty() && headers != nullptr) {
        headers->AwaitStatuses();
    }
    std::vector<std::string> paths;
    std::vector<FileStart> starts;
    for (std::size_t first = 0; first < toRead.size(); first += READ_BATCH) {
        const auto batch =
            std::span(toRead).subspan(first, std::min(READ_BATCH, toRead.size() - first));
        paths.clear();
        for (const std::size_t i : batch) {
            paths.push_back(records[i].filename);
        }
        TheMachine().ReadFileStarts(paths, Files::BLOCK_SIZE, starts);
        for (std::size_t read = 0; read < starts.size(); ++read) {
            const std::size_t i = batch[read];
            const FileStart& start = starts[read];
            if (start.error != ERR_SUCCESS) {
                continue;  // not kept: a file that cannot be read now may be readable next time
            }
            attributes[i] = start.status.attributes;
            records[i].fileFound = true;
            typename Files::Fields fields;
            if (start.bytes.size() == Files::BLOCK_SIZE) {
                fields = Files::Decode(start.bytes);
            }
            if (headers != nullptr) {
                (headers->*Files::KEEP)(records[i].filename, start.status, fields);
            }
            Files::Apply(fields, records[i]);
        }
    }
}

// The folders the records' files lie in (as IsRemovableLocation examines them), each once,
// that the memo does not hold yet; only for records whose attributes are known.
template <typename Record>
std::vector<std::string> FoldersNotExamined(
    std::span<const Record> records, const std::vector<std::optional<std::uint32_t>>& attributes,
    const RemovableFolderMemo& memo) {
    std::unordered_set<std::string_view> listed;
    std::vector<std::string> folders;
    // Records of one folder mostly follow each other: the folder of the record before is not
    // looked up again.
    std::string_view last;
    bool lastSeen = false;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (!attributes[i]) {
            continue;
        }
        const std::string_view folder = RemovableFolderOf(records[i].filename, *attributes[i]);
        if (lastSeen && folder == last) {
            continue;
        }
        if (!memo.folders.contains(folder) && listed.insert(folder).second) {
            folders.emplace_back(folder);
        }
        last = folder;
        lastSeen = true;
    }
    return folders;
}

// Each record's `removable`, each folder examined once per load. With a cache, a folder whose
// names have not changed since an earlier load takes that load's answer, and each folder
// examined now is kept with the status it had before.
template <typename Record>
void FillRemovable(std::span<Record> records,
                   const std::vector<std::optional<std::uint32_t>>& attributes,
                   RemovableFolderMemo* memo, HeaderCache* headers) {
    std::vector<std::string> folders;
    std::vector<PathStatus> statuses;
    std::vector<char> fromCache;
    // Known before statuses are taken ahead, and then kept: no call to the machine.
    const std::string installFolder = GetGameInstallDir();
    if (memo != nullptr && headers != nullptr) {
        folders = FoldersNotExamined<Record>(records, attributes, *memo);
        std::vector<HeaderCache::Place> places;
        places.reserve(folders.size());
        for (const std::string& folder : folders) {
            places.push_back(headers->LocateFolder(folder, installFolder));
        }
        statuses = StatusesAt(*headers, places,
                              [&](std::size_t k) -> const std::string& { return folders[k]; });
        fromCache.assign(folders.size(), 0);
        for (std::size_t k = 0; k < folders.size(); ++k) {
            bool removable = false;
            if (statuses[k].error == ERR_SUCCESS &&
                headers->FindFolder(places[k], statuses[k].status, removable)) {
                memo->folders.emplace(folders[k], removable);
                fromCache[k] = 1;
            }
        }
    }
    // A folder examined now, or a path whose attributes were not taken, is asked of the machine.
    const bool examines =
        memo == nullptr || !memo->longInstallFolder ||
        std::find(fromCache.begin(), fromCache.end(), 0) != fromCache.end() ||
        std::any_of(attributes.begin(), attributes.end(),
                    [](const std::optional<std::uint32_t>& taken) { return !taken; });
    if (examines && headers != nullptr) {
        headers->AwaitStatuses();
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        // Attributes already taken tell whether the path is itself a folder.
        records[i].removable = attributes[i]
                                   ? IsRemovableLocation(records[i].filename, *attributes[i], memo)
                                   : IsRemovableLocation(records[i].filename, memo);
    }
    for (std::size_t k = 0; k < folders.size(); ++k) {
        const auto examined = memo->folders.find(folders[k]);
        if (fromCache[k] == 0 && statuses[k].error == ERR_SUCCESS &&
            examined != memo->folders.end()) {
            headers->KeepFolder(folders[k], statuses[k].status, installFolder, examined->second);
        }
    }
}

template <typename Files>
void FillFromFiles(std::span<typename Files::Record> records, RemovableFolderMemo* memo,
                   HeaderCache* headers, std::span<const HeaderCache::Place> cached) {
    std::vector<std::optional<std::uint32_t>> attributes(records.size());
    FillHeaders<Files>(records, headers, cached, attributes);
    FillRemovable(records, attributes, memo, headers);
}

template <typename Files>
void FillHeadersOnly(std::span<typename Files::Record> records, HeaderCache* headers,
                     std::span<const HeaderCache::Place> cached) {
    std::vector<std::optional<std::uint32_t>> attributes(records.size());
    FillHeaders<Files>(records, headers, cached, attributes);
}

}  // namespace

std::vector<HeaderCache::Place> TakeCachedCourseFields(std::span<CourseRecord> courses,
                                                       HeaderCache& headers) {
    return TakeCachedFields<CourseFiles>(courses, headers);
}

std::vector<HeaderCache::Place> TakeCachedLibraryFields(std::span<LibraryRecord> libraries,
                                                        HeaderCache& headers) {
    return TakeCachedFields<LibraryFiles>(libraries, headers);
}

void FillFromCourseFiles(std::span<CourseRecord> courses, RemovableFolderMemo* memo,
                         HeaderCache* headers, std::span<const HeaderCache::Place> cached) {
    FillFromFiles<CourseFiles>(courses, memo, headers, cached);
}

void FillFromLibraryFiles(std::span<LibraryRecord> libraries, RemovableFolderMemo* memo,
                          HeaderCache* headers, std::span<const HeaderCache::Place> cached) {
    FillFromFiles<LibraryFiles>(libraries, memo, headers, cached);
}

void FillHeadersFromCourseFiles(std::span<CourseRecord> courses, HeaderCache* headers,
                                std::span<const HeaderCache::Place> cached) {
    FillHeadersOnly<CourseFiles>(courses, headers, cached);
}

void FillHeadersFromLibraryFiles(std::span<LibraryRecord> libraries, HeaderCache* headers,
                                 std::span<const HeaderCache::Place> cached) {
    FillHeadersOnly<LibraryFiles>(libraries, headers, cached);
}

}  // namespace parvane
