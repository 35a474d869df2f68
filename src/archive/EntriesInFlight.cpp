#include "archive/EntriesInFlight.h"

#include <algorithm>
#include <atomic>
#include <span>
#include <thread>
#include <utility>

#include "base/Sha1.h"

namespace parvane {

namespace {

// Twice what one entry may hold: a large entry and the next one at once.
constexpr std::uint64_t MAX_HELD_BYTES = 2 * WHOLE_INFLATE_LIMIT;
// Each entry in flight holds its output file open.
constexpr std::size_t MAX_ENTRIES = 32;
// How far the writing may run ahead of the bytes shown.
constexpr std::uint64_t MAX_UNSHOWN_BYTES = 4 * ZIP_DATA_BLOCK_SIZE;
constexpr std::size_t MAX_THREADS = 8;

std::size_t PoolThreads() {
    return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 2, MAX_THREADS);
}

}  // namespace

struct EntriesInFlight::Entry {
    Entry(std::unique_ptr<EntryFile> entryFile, std::unique_ptr<WholeEntry> entryData)
        : file(std::move(entryFile)), data(std::move(entryData)) {}

    std::unique_ptr<EntryFile> file;
    std::unique_ptr<WholeEntry> data;
    // Before the inflating: the compressed bytes gathered, the output's pages taken.
    std::atomic<int> stepsLeft = 1;
    // After it: the bytes hashed, and written (under the mutex).
    int workLeft = 2;
    Sha1Digest digest{};
};

EntriesInFlight::EntriesInFlight() : pool(PoolThreads()) {}

EntriesInFlight::~EntriesInFlight() = default;

bool EntriesInFlight::HasRoomFor(const WholeEntry& entry) const {
    return entries.empty() ||
           (entries.size() < MAX_ENTRIES && heldBytes + entry.HeldSize() <= MAX_HELD_BYTES);
}

void EntriesInFlight::Start(ZipReader& from, std::unique_ptr<EntryFile> file,
                            std::unique_ptr<WholeEntry> data) {
    reader = &from;
    heldBytes += data->HeldSize();
    Entry& entry = *entries.emplace_back(std::make_unique<Entry>(std::move(file), std::move(data)));
    const auto stepDone = [this, &entry] {
        if (--entry.stepsLeft == 0) {
            pool.Post([this, &entry] { Inflate(entry); });
        }
    };
    if (entry.data->HasLargeOutput()) {
        ++entry.stepsLeft;
        pool.Post([&entry, stepDone] {
            entry.data->TakeOutputPages();
            stepDone();
        });
    }
    from.GatherWholeEntry(*entry.data);
    stepDone();
}

// The bytes are written on another thread while they are hashed here.
void EntriesInFlight::Inflate(Entry& entry) {
    entry.data->Inflate();
    pool.Post([this, &entry] { Write(entry); });
    const std::span<const char> bytes = entry.data->Bytes();
    Sha1 digest;
    digest.Add(bytes.data(), bytes.size());
    entry.digest = digest.Finish();
    WorkDone(entry);
}

void EntriesInFlight::WorkDone(Entry& entry) {
    {
        const std::lock_guard lock(mutex);
        --entry.workLeft;
    }
    changed.notify_all();
}

// False once the work is stopped.
bool EntriesInFlight::WaitForRoomToWrite() {
    std::unique_lock lock(mutex);
    changed.wait(lock,
                 [this] { return stopping || writtenBytes - shownBytes < MAX_UNSHOWN_BYTES; });
    return !stopping;
}

void EntriesInFlight::Write(Entry& entry) {
    const std::span<const char> bytes = entry.data->Bytes();
    for (std::size_t at = 0; at < bytes.size() && WaitForRoomToWrite(); at += ZIP_DATA_BLOCK_SIZE) {
        const std::size_t size = std::min(ZIP_DATA_BLOCK_SIZE, bytes.size() - at);
        entry.file->Write(bytes.data() + at, size);
        {
            const std::lock_guard lock(mutex);
            writtenBytes += size;
        }
        changed.notify_all();
    }
    WorkDone(entry);
}

bool EntriesInFlight::FinishOldest(const ShowWritten& showWritten) {
    Entry& entry = *entries.front();
    std::unique_lock lock(mutex);
    while (entry.workLeft > 0 || writtenBytes != shownBytes) {
        changed.wait(lock, [&] { return entry.workLeft == 0 || writtenBytes != shownBytes; });
        const std::uint64_t written = writtenBytes;
        lock.unlock();
        const bool goOn = written == shownBytes || showWritten(written - shownBytes);
        if (!goOn) {
            Drop();
            return false;
        }
        lock.lock();
        shownBytes = written;
        changed.notify_all();
    }
    lock.unlock();
    entry.file->Delivered(entry.data->Bytes().size());
    if (entry.data->End() != ZIPCODE_OK) {
        entry.file->ReadingFailed(entry.data->End());
    }
    const bool finished = entry.file->Finish(entry.digest);
    ReleaseOldest();
    return finished;
}

// The archive's hashing may still read the entry's compressed bytes.
void EntriesInFlight::ReleaseOldest() {
    reader->ReleaseGathered();
    heldBytes -= entries.front()->data->HeldSize();
    entries.pop_front();
}

void EntriesInFlight::Drop() {
    {
        std::unique_lock lock(mutex);
        stopping = true;
        changed.notify_all();
        changed.wait(lock, [this] {
            return std::ranges::all_of(entries,
                                       [](const auto& entry) { return entry->workLeft == 0; });
        });
        stopping = false;
    }
    while (!entries.empty()) {
        ReleaseOldest();
    }
}

}  // namespace parvane
