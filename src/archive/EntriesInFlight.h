#pragma once

// Entries inflated whole, each inflated, hashed and written on a pool of threads while the
// reader goes on to the next entries: on two cores, a large entry inflates beside the smaller
// ones that follow it instead of before them. They are finished, and their failures reported,
// in the order they were read. Their memory is capped, and so are their open files. The bytes
// written are shown as they go, and the writing keeps within a few blocks of what was shown,
// so that progress and a stop keep in step with the work.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "archive/EntryFile.h"
#include "archive/WholeEntry.h"
#include "archive/ZipReader.h"
#include "base/JobPool.h"

namespace parvane {

class EntriesInFlight {
  public:
    EntriesInFlight();
    ~EntriesInFlight();
    EntriesInFlight(const EntriesInFlight&) = delete;
    EntriesInFlight& operator=(const EntriesInFlight&) = delete;

    bool Empty() const { return entries.empty(); }
    // Whether `entry` may start beside those in flight; the oldest is finished until it may.
    bool HasRoomFor(const WholeEntry& entry) const;
    // Gathers the entry's compressed bytes from `reader`, which every entry in flight comes
    // from, and leaves the rest to the pool.
    void Start(ZipReader& reader, std::unique_ptr<EntryFile> file,
               std::unique_ptr<WholeEntry> data);
    // Called with the count of bytes written since the last call, by any entry; false stops
    // the work, after the stop's message.
    using ShowWritten = std::function<bool(std::uint64_t)>;
    // Finishes the oldest entry, once its bytes are hashed and written (EntryFile::Finish),
    // showing the bytes written meanwhile; false after the failure's or the stop's message.
    bool FinishOldest(const ShowWritten& showWritten);
    // Stops the writing, waits for the work on every entry and drops them unfinished.
    void Drop();

  private:
    struct Entry;

    void Inflate(Entry& entry);
    void Write(Entry& entry);
    bool WaitForRoomToWrite();
    void WorkDone(Entry& entry);
    void ReleaseOldest();

    std::deque<std::unique_ptr<Entry>> entries;
    std::uint64_t heldBytes = 0;
    ZipReader* reader = nullptr;
    // Guards each entry's work left, the counts below and the stop.
    std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t writtenBytes = 0;
    std::uint64_t shownBytes = 0;
    bool stopping = false;
    // Declared last, so that it is gone, its jobs done, before the entries.
    JobPool pool;
};

}  // namespace parvane
