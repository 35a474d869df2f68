#pragma once

// The decoded headers of the content files, and whether their folders may be removed, kept in
// the state folder from one catalogue load to the next, so that a load reads only the files and
// folders that changed since. An entry is trusted only
// while its file has the size and the time of last write it had when it was read. A cache file
// that cannot be read, is cut short or comes from another version is ignored and written anew;
// it is never an error. Without a state folder nothing is kept.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/WorkerQueue.h"
#include "catalogue/HeaderDecoding.h"
#include "platform/Machine.h"

namespace parvane {

// What a load takes from a course file: each list only when it could be decoded.
struct CourseHeaderFields {
    bool namesRead = false;
    ReferencedNames names;
    bool guidsRead = false;
    ReferencedGuids guids;
};

// What a load takes from a library file, when it could be decoded.
struct LibraryHeaderFields {
    bool read = false;
    NameAndGuid header;
};

class HeaderCache {
  public:
    // The cache file of the state folder, read once; empty when there is none, no state folder
    // is set or the file cannot be used.
    HeaderCache();

    // Starts reading the cache file of the state folder on a thread of its own, for the next
    // HeaderCache made while the state folder is the same: the file is opened here, and the
    // thread makes no call to the machine but the file's reads, so the caller may go on using
    // the machine. Nothing when no state folder is set or no thread can be started.
    static void ReadAhead();
    // Waits for a file read ahead that no HeaderCache took, and drops its bytes.
    static void DropReadAhead();

    // The entry of the cache file kept for a file; none when no entry is kept for it.
    struct Place {
        static constexpr std::size_t NONE = SIZE_MAX;
        std::size_t storedIndex = NONE;

        bool Holds() const { return storedIndex != NONE; }
    };

    // The entry kept for the file `path`, changed or not: only when there is one is the file's
    // status worth taking before the file is read. The entries this load keeps are not looked
    // up: a file listed twice is read twice.
    Place LocateCourse(const std::string& path);
    Place LocateLibrary(const std::string& path);

    // The fields kept at `place`, whether or not the file changed since; false when none are
    // kept there. A load takes them before the files' statuses are known.
    bool ReadCourse(const Place& place, CourseHeaderFields& fields) const;
    bool ReadLibrary(const Place& place, LibraryHeaderFields& fields) const;
    // Whether the file of the entry at `place` has the size and time it had when its fields
    // were kept, its status being `status` now; an entry found so is kept on the next save.
    bool Unchanged(const Place& place, const FileStatus& status);

    // The fields just read from a file that had `status` before it was read. A file written in
    // the last few seconds is not kept: a change within the same tick of the file system's
    // clock would leave its time as it is.
    void KeepCourse(const std::string& path, const FileStatus& status,
                    const CourseHeaderFields& fields);
    void KeepLibrary(const std::string& path, const FileStatus& status,
                     const LibraryHeaderFields& fields);

    // The entry kept for the folder `path` while the game's install folder was `installFolder`.
    Place LocateFolder(const std::string& path, const std::string& installFolder);
    // Whether the folder at `place`, whose status is `status` now, was found removable by an
    // earlier load; false when nothing is kept for it or the folder's names may have changed
    // since (its time of last write moves with every name added, removed or renamed in it).
    bool FindFolder(const Place& place, const FileStatus& status, bool& removable);
    // What a load found for a folder that had `status` before it was examined.
    void KeepFolder(const std::string& path, const FileStatus& status,
                    const std::string& installFolder, bool removable);

    // Takes the statuses of the files the cache file holds entries for, and of its folders kept
    // for `installFolder`, on a thread of its own: those of the courses and the folders first,
    // then those of the libraries. A load finds them taken when it looks its records' files
    // up, having built the records meanwhile. Until AwaitStatuses returns, the caller may read
    // the streams it has open but makes no other call to the machine, which is not to be used
    // from two threads at once.
    void TakeStatusesAhead(const std::string& installFolder);
    // For a load that examines no folder: no status is taken ahead for the folders kept, and
    // the next save keeps their entries as they are, for a load that examines them.
    void LeaveFoldersUnexamined() { foldersExamined = false; }
    // Returns once the courses' and the folders' statuses are taken; the libraries' may still
    // be taken, so the machine is not to be called yet.
    void AwaitCourseStatuses();
    void AwaitStatuses();
    // The status taken ahead of the file or folder at `place`; null when none was taken.
    const PathStatus* StatusTakenAhead(const Place& place) const;

    // Replaces the cache file with the entries found and kept since it was read, when they
    // differ from what it held. A failure leaves the old file or none; it is not reported.
    void Save();

  private:
    // An entry of the file read: where it starts, where its size and time start, where it
    // ends, and whether this load found its file unchanged. Small: a cache holds an entry for
    // each of tens of thousands of files.
    struct StoredEntry {
        std::uint32_t begin = 0;
        std::uint32_t start = 0;
        std::uint32_t end = 0;
        bool found = false;
    };

    bool Settled(const FileStatus& status) const;
    // Whether the next save keeps the entry at `index` of the file read.
    bool KeptOnSave(std::size_t index) const;
    Place Locate(char kind, const std::string& path);
    // The statuses ahead of the entries of `kinds` (their first characters).
    void TakeStatusesOf(std::string_view kinds, const std::string& folderKeyStart);
    // Where the entry of `kind` to try next is, past the entries of other kinds.
    std::size_t& NextOfKind(char kind);
    // The entry of the file read that has `key`; npos when none.
    std::size_t FindStored(std::string_view key);
    std::string_view StoredKey(std::size_t index) const;
    // Where the size and time of the entry at `place` start in `stored`.
    std::size_t SizeAndTimeOf(const Place& place) const {
        return storedEntries[place.storedIndex].start;
    }
    // Keeps the entry of a file read with its fields, unless the file is too new to be kept.
    void KeepEntry(char kind, const std::string& path, const FileStatus& status,
                   const std::string& fields);

    std::string stored;  // the cache file as read
    // The entries of `stored`, in the file's order. A load asks for the entries of each kind in
    // about the order an earlier load kept them: the entry of the kind after the one of that
    // kind found last is tried first, and an index by kind and path is built only when that
    // fails.
    std::vector<StoredEntry> storedEntries;
    std::size_t nextCourse = 0;
    std::size_t nextLibrary = 0;
    std::size_t nextFolder = 0;
    std::unordered_map<std::string_view, std::size_t> storedPlaces;
    bool storedIndexed = false;
    // The entries this load read and keeps, as the file holds them, in blocks that are filled
    // and never grown: tens of thousands of entries are never copied to a larger place.
    std::vector<std::string> readBlocks;
    std::uint32_t readCount = 0;
    std::uint64_t loadStart = 0;  // FILETIME ticks
    bool foldersExamined = true;
    // By entry of the file read: its file's status, when `aheadTaken` says one was taken.
    std::vector<PathStatus> aheadStatuses;
    std::vector<char> aheadTaken;
    // Last: its end waits for the statuses, before the entries they are taken for go.
    WorkerQueue statusQueue;
};

}  // namespace parvane
