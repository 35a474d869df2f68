#include "catalogue/HeaderCache.h"

#include <algorithm>
#include <chrono>

#include "base/MadeAhead.h"
#include "base/PathText.h"
#include "base/StateFolder.h"
#include "catalogue/StateFileBytes.h"

namespace parvane {

namespace {

// The file: MAGIC, FORMAT_VERSION and the number of entries (32-bit), then the entries. An
// entry: the length of its key (16-bit), the key (the kind, then the path), the file's size and
// time of last write (64-bit), the length of its fields (16-bit), then the fields: for a course,
// whether the names were decoded and then their number and each name (16-bit length and text),
// whether the GUIDs were decoded and then their number and 16 bytes each; for a library, whether
// the header was decoded and then its GUID and its name; for a folder (its key's path: the game's
// install folder, '|', the folder), whether it is removable. Numbers are little-endian.
constexpr std::string_view FILE_NAME = "HeaderCache.bin";
constexpr std::string_view MAGIC = "PVHC";
constexpr std::uint32_t FORMAT_VERSION = 3;
constexpr char COURSE_KIND = 'C';
constexpr char LIBRARY_KIND = 'L';
constexpr char FOLDER_KIND = 'F';
// The kinds whose statuses are taken ahead together, courses and folders first.
constexpr std::string_view COURSE_AND_FOLDER_KINDS = "CF";
constexpr std::string_view COURSE_KINDS = "C";
constexpr std::string_view LIBRARY_KINDS = "L";
// Statuses taken ahead together.
constexpr std::size_t STATUS_BATCH = 8192;
// An entry's size and time of last write, before the length of its fields.
constexpr std::size_t SIZE_AND_TIME_BYTES = 16;
// More than a tick of any file system's clock (FAT's is two seconds), in FILETIME ticks.
constexpr std::uint64_t SETTLING_TICKS = 30'000'000;
constexpr std::uint64_t TICKS_FROM_1601_TO_1970 = 116444736000000000;
// The entries read are kept in blocks of this many bytes, or of one entry when it is larger.
constexpr std::size_t READ_BLOCK_SIZE = std::size_t{1} << 18;

std::string CacheFilePath() {
    return JoinPath(StateFolder(), FILE_NAME);
}

// The cache file being read ahead of the load, and where.
struct ReadingAhead {
    std::string path;
    MadeAhead<std::string> bytes;
};

ReadingAhead& TheReadingAhead() {
    static ReadingAhead reading;
    return reading;
}

// The cache file's bytes: those read ahead when they are of this state folder's file, else read
// now.
std::string TakeCacheFile() {
    ReadingAhead& ahead = TheReadingAhead();
    const std::string path = CacheFilePath();
    if (ahead.bytes.Pending() && ahead.path == path) {
        return ahead.bytes.Take();
    }
    HeaderCache::DropReadAhead();
    return ReadStateFile(path);
}

std::uint64_t FileTimeNow() {
    const auto sinceUnixEpoch = std::chrono::system_clock::now().time_since_epoch();
    using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
    return static_cast<std::uint64_t>(std::chrono::duration_cast<Ticks>(sinceUnixEpoch).count()) +
           TICKS_FROM_1601_TO_1970;
}

// Each reads the fields of one entry. A course's fields may be filled in part when the entry
// ends short (its reader is then no longer ok).
bool ReadCourseFields(ByteReader& reader, CourseHeaderFields& fields) {
    fields.namesRead = reader.Number(1) != 0;
    fields.names.count = fields.namesRead ? reader.Count(MAX_REFERENCED_LIBRARIES) : 0;
    for (int slot = 0; slot < fields.names.count; ++slot) {
        fields.names.names[slot] = reader.Text();
    }
    fields.guidsRead = reader.Number(1) != 0;
    fields.guids.count = fields.guidsRead ? reader.Count(MAX_REFERENCED_LIBRARIES) : 0;
    for (int slot = 0; slot < fields.guids.count; ++slot) {
        fields.guids.guids[slot] = ReadGuid(reader);
    }
    return reader.ok;
}

bool ReadLibraryFields(ByteReader& reader, LibraryHeaderFields& fields) {
    fields.read = reader.Number(1) != 0;
    if (fields.read) {
        fields.header.guid = ReadGuid(reader);
        fields.header.name = reader.Text();
    }
    return reader.ok;
}

bool ReadFolderFields(ByteReader& reader, bool& removable) {
    removable = reader.Number(1) != 0;
    return reader.ok;
}

// Reads with `read` the fields of the entry whose size and time start at `start` of `text`;
// true only when they are read whole within the length the entry gives them.
template <typename Fields>
bool ReadEntryFields(std::string_view text, std::size_t start, bool (*read)(ByteReader&, Fields&),
                     Fields& fields) {
    ByteReader length(text, start + SIZE_AND_TIME_BYTES);
    const auto size = static_cast<std::size_t>(length.Number(2));
    if (!length.ok || size > text.size() - length.Position()) {
        return false;
    }
    ByteReader reader(text.substr(0, length.Position() + size), length.Position());
    return read(reader, fields);
}

// A folder's entry holds for one install folder of the game: '|', which no Windows path holds,
// separates the two.
std::string FolderKeyPath(const std::string& installFolder, const std::string& path) {
    return installFolder + '|' + path;
}

std::string KeyOf(char kind, const std::string& path) {
    std::string key(1, kind);
    key += path;
    return key;
}

}  // namespace

HeaderCache::HeaderCache() : loadStart(FileTimeNow()) {
    if (StateFolder().empty()) {
        return;
    }
    stored = TakeCacheFile();
    ByteReader reader(stored, 0);
    // The entries' places are kept in 32 bits.
    if (stored.size() > UINT32_MAX || reader.Text(MAGIC.size()) != MAGIC ||
        reader.Number(4) != FORMAT_VERSION) {
        stored.clear();
        return;
    }
    const auto count = static_cast<std::uint32_t>(reader.Number(4));
    // Never more entries than the bytes could hold, whatever the count says.
    const std::size_t expected = std::min<std::size_t>(count, stored.size() / 20);
    storedEntries.reserve(expected);
    for (std::uint32_t entry = 0; entry < count && reader.ok; ++entry) {
        StoredEntry found;
        found.begin = static_cast<std::uint32_t>(reader.Position());
        const std::string_view key = reader.Text();
        found.start = static_cast<std::uint32_t>(reader.Position());
        reader.Number(8);
        reader.Number(8);
        // The fields are read when a load asks for them: stepping over them builds and checks
        // nothing for the tens of thousands of entries.
        reader.Text(static_cast<std::size_t>(reader.Number(2)));
        const char kind = key.empty() ? '\0' : key.front();
        reader.ok =
            reader.ok && (kind == COURSE_KIND || kind == LIBRARY_KIND || kind == FOLDER_KIND);
        found.end = static_cast<std::uint32_t>(reader.Position());
        storedEntries.push_back(found);
    }
    if (!reader.ok || !reader.AtEnd()) {
        // Cut short, or not what this version writes: every file is read again.
        storedEntries.clear();
        stored.clear();
    }
}

void HeaderCache::ReadAhead() {
    DropReadAhead();
    if (StateFolder().empty()) {
        return;
    }
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> file =
        TheMachine().OpenFile(CacheFilePath(), FileMode::Read, error);
    if (file == nullptr) {
        return;
    }
    // Without a thread, the load reads the file itself.
    ReadingAhead& ahead = TheReadingAhead();
    if (ahead.bytes.Start([opened = std::move(file)]() mutable {
            return ReadOpenedStateFile(std::move(opened));
        })) {
        ahead.path = CacheFilePath();
    }
}

void HeaderCache::DropReadAhead() {
    ReadingAhead& ahead = TheReadingAhead();
    ahead.bytes.Drop();
    ahead.path.clear();
}

HeaderCache::Place HeaderCache::Locate(char kind, const std::string& path) {
    // Most entries come right after the one of their kind found before: that one is compared in
    // place, without making the key.
    std::size_t& next = NextOfKind(kind);
    if (next < storedEntries.size()) {
        const std::string_view nextKey = StoredKey(next);
        if (nextKey.size() == path.size() + 1 && nextKey.substr(1) == path) {
            const std::size_t index = next++;
            return {index};
        }
    }
    if (const std::size_t index = FindStored(KeyOf(kind, path)); index != std::string::npos) {
        return {index};
    }
    return {};
}

bool HeaderCache::Unchanged(const Place& place, const FileStatus& status) {
    if (!place.Holds()) {
        return false;
    }
    ByteReader reader(stored, SizeAndTimeOf(place));
    if (reader.Number(8) != status.size || reader.Number(8) != status.modified) {
        return false;
    }
    storedEntries[place.storedIndex].found = true;
    return true;
}

HeaderCache::Place HeaderCache::LocateCourse(const std::string& path) {
    return Locate(COURSE_KIND, path);
}

HeaderCache::Place HeaderCache::LocateLibrary(const std::string& path) {
    return Locate(LIBRARY_KIND, path);
}

bool HeaderCache::ReadCourse(const Place& place, CourseHeaderFields& fields) const {
    return place.Holds() && ReadEntryFields(stored, SizeAndTimeOf(place), ReadCourseFields, fields);
}

bool HeaderCache::ReadLibrary(const Place& place, LibraryHeaderFields& fields) const {
    return place.Holds() &&
           ReadEntryFields(stored, SizeAndTimeOf(place), ReadLibraryFields, fields);
}

HeaderCache::Place HeaderCache::LocateFolder(const std::string& path,
                                             const std::string& installFolder) {
    return Locate(FOLDER_KIND, FolderKeyPath(installFolder, path));
}

bool HeaderCache::FindFolder(const Place& place, const FileStatus& status, bool& removable) {
    // Read first: an entry whose fields cannot be read is not kept as found.
    return place.Holds() &&
           ReadEntryFields(stored, SizeAndTimeOf(place), ReadFolderFields, removable) &&
           Unchanged(place, status);
}

void HeaderCache::TakeStatusesAhead(const std::string& installFolder) {
    if (storedEntries.empty()) {
        return;
    }
    aheadStatuses.resize(storedEntries.size());
    aheadTaken.assign(storedEntries.size(), 0);
    const std::string folderKeyStart = KeyOf(FOLDER_KIND, FolderKeyPath(installFolder, ""));
    for (const bool courses : {true, false}) {
        statusQueue.Post([this, folderKeyStart, courses] {
            TakeStatusesOf(!courses          ? LIBRARY_KINDS
                           : foldersExamined ? COURSE_AND_FOLDER_KINDS
                                             : COURSE_KINDS,
                           folderKeyStart);
        });
    }
}

void HeaderCache::TakeStatusesOf(std::string_view kinds, const std::string& folderKeyStart) {
    // A batch of paths at a time. The path of an entry is its key after the kind, for a folder
    // after the install folder.
    std::vector<std::string_view> paths;
    std::vector<std::size_t> entries;
    std::vector<PathStatus> statuses;
    for (std::size_t index = 0; index < storedEntries.size();) {
        paths.clear();
        entries.clear();
        for (; index < storedEntries.size() && paths.size() < STATUS_BATCH; ++index) {
            const std::string_view key = StoredKey(index);
            const std::size_t pathStart = kinds.find(key.front()) == std::string_view::npos ? 0
                                          : key.front() != FOLDER_KIND                      ? 1
                                          : key.starts_with(folderKeyStart) ? folderKeyStart.size()
                                                                            : 0;
            if (pathStart > 0) {
                paths.push_back(key.substr(pathStart));
                entries.push_back(index);
            }
        }
        TheMachine().GetFileStatuses(paths, statuses);
        for (std::size_t k = 0; k < entries.size() && k < statuses.size(); ++k) {
            aheadStatuses[entries[k]] = statuses[k];
            aheadTaken[entries[k]] = 1;
        }
    }
}

void HeaderCache::AwaitCourseStatuses() {
    // The libraries' job may still be queued or running.
    statusQueue.WaitUntilLeft(1);
}

void HeaderCache::AwaitStatuses() {
    statusQueue.Wait();
}

const PathStatus* HeaderCache::StatusTakenAhead(const Place& place) const {
    return place.Holds() && place.storedIndex < aheadTaken.size() &&
                   aheadTaken[place.storedIndex] != 0
               ? &aheadStatuses[place.storedIndex]
               : nullptr;
}

std::string_view HeaderCache::StoredKey(std::size_t index) const {
    const StoredEntry& entry = storedEntries[index];
    return std::string_view(stored).substr(entry.begin + 2, entry.start - entry.begin - 2);
}

std::size_t& HeaderCache::NextOfKind(char kind) {
    std::size_t& next = kind == COURSE_KIND    ? nextCourse
                        : kind == LIBRARY_KIND ? nextLibrary
                                               : nextFolder;
    while (next < storedEntries.size() && StoredKey(next).front() != kind) {
        ++next;
    }
    return next;
}

std::size_t HeaderCache::FindStored(std::string_view key) {
    if (!storedIndexed) {
        storedPlaces.reserve(storedEntries.size());
        for (std::size_t index = 0; index < storedEntries.size(); ++index) {
            storedPlaces.emplace(StoredKey(index), index);
        }
        storedIndexed = true;
    }
    const auto found = storedPlaces.find(key);
    if (found == storedPlaces.end()) {
        return std::string::npos;
    }
    NextOfKind(key.front()) = found->second + 1;
    return found->second;
}

bool HeaderCache::Settled(const FileStatus& status) const {
    return status.modified <= loadStart && loadStart - status.modified >= SETTLING_TICKS;
}

void HeaderCache::KeepEntry(char kind, const std::string& path, const FileStatus& status,
                            const std::string& fields) {
    if (!Settled(status)) {
        return;
    }
    const std::size_t size = 2 + 1 + path.size() + SIZE_AND_TIME_BYTES + 2 + fields.size();
    if (readBlocks.empty() || readBlocks.back().size() + size > readBlocks.back().capacity()) {
        readBlocks.emplace_back().reserve(std::max(READ_BLOCK_SIZE, size));
    }
    std::string& block = readBlocks.back();
    PutText(block, KeyOf(kind, path));
    PutNumber(block, status.size, 8);
    PutNumber(block, status.modified, 8);
    PutText(block, fields);
    ++readCount;
}

void HeaderCache::KeepCourse(const std::string& path, const FileStatus& status,
                             const CourseHeaderFields& fields) {
    std::string bytes;
    PutNumber(bytes, fields.namesRead ? 1 : 0, 1);
    if (fields.namesRead) {
        PutNumber(bytes, static_cast<std::uint64_t>(fields.names.count), 1);
        for (int slot = 0; slot < fields.names.count; ++slot) {
            PutText(bytes, fields.names.names[slot]);
        }
    }
    PutNumber(bytes, fields.guidsRead ? 1 : 0, 1);
    if (fields.guidsRead) {
        PutNumber(bytes, static_cast<std::uint64_t>(fields.guids.count), 1);
        for (int slot = 0; slot < fields.guids.count; ++slot) {
            PutGuid(bytes, fields.guids.guids[slot]);
        }
    }
    KeepEntry(COURSE_KIND, path, status, bytes);
}

void HeaderCache::KeepLibrary(const std::string& path, const FileStatus& status,
                              const LibraryHeaderFields& fields) {
    std::string bytes;
    PutNumber(bytes, fields.read ? 1 : 0, 1);
    if (fields.read) {
        PutGuid(bytes, fields.header.guid);
        PutText(bytes, fields.header.name);
    }
    KeepEntry(LIBRARY_KIND, path, status, bytes);
}

void HeaderCache::KeepFolder(const std::string& path, const FileStatus& status,
                             const std::string& installFolder, bool removable) {
    KeepEntry(FOLDER_KIND, FolderKeyPath(installFolder, path), status,
              std::string(1, removable ? '\1' : '\0'));
}

bool HeaderCache::KeptOnSave(std::size_t index) const {
    return storedEntries[index].found ||
           (!foldersExamined && StoredKey(index).front() == FOLDER_KIND);
}

void HeaderCache::Save() {
    std::size_t keptCount = 0;
    for (std::size_t index = 0; index < storedEntries.size(); ++index) {
        keptCount += KeptOnSave(index) ? 1 : 0;
    }
    if (StateFolder().empty() || (readCount == 0 && keptCount == storedEntries.size())) {
        return;
    }
    // The entries found unchanged (and the folders' not examined), then those read: the files
    // gone are left out.
    std::string head(MAGIC);
    PutNumber(head, FORMAT_VERSION, 4);
    PutNumber(head, readCount + keptCount, 4);
    std::vector<std::string_view> parts = {head};
    for (std::size_t index = 0; index < storedEntries.size(); ++index) {
        if (KeptOnSave(index)) {
            const StoredEntry& entry = storedEntries[index];
            parts.push_back(std::string_view(stored).substr(entry.begin, entry.end - entry.begin));
        }
    }
    parts.insert(parts.end(), readBlocks.begin(), readBlocks.end());
    ReplaceStateFile(CacheFilePath(), parts);
}

}  // namespace parvane
