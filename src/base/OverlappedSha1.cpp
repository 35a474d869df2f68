#include "base/OverlappedSha1.h"

#include <system_error>

namespace parvane {

namespace {

// Held bytes fewer than this are hashed at once: handing them to the thread and waiting for it
// would cost more.
constexpr std::size_t HAND_OFF_MIN_SIZE = std::size_t{64} << 10;

}  // namespace

OverlappedSha1::OverlappedSha1(std::size_t size)
    : blockSize(size),
      buffers{std::make_unique_for_overwrite<char[]>(size),
              std::make_unique_for_overwrite<char[]>(size)} {}

OverlappedSha1::~OverlappedSha1() {
    if (worker.joinable()) {
        {
            const std::lock_guard lock(mutex);
            stopping = true;
        }
        changed.notify_all();
        worker.join();
    }
}

bool OverlappedSha1::StartWorker() {
    if (!worker.joinable()) {
        try {
            worker = std::thread(&OverlappedSha1::Work, this);
        } catch (const std::system_error&) {  // no thread to be had: the caller hashes
            return false;
        }
    }
    return true;
}

void OverlappedSha1::Work() {
    std::unique_lock lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return !pending.empty() || stopping; });
        if (pending.empty()) {
            return;
        }
        const std::span<const char> bytes = pending.front();
        lock.unlock();
        Hash(bytes.data(), bytes.size());
        lock.lock();
        pending.pop_front();
        changed.notify_all();
    }
}

void OverlappedSha1::Hash(const char* data, std::size_t size) {
    digest->Add(data, size);
}

void OverlappedSha1::Wait() {
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return pending.empty(); });
}

void OverlappedSha1::Add(std::size_t size) {
    Wait();
    const char* data = buffers[current].get();
    if (size < blockSize || !StartWorker()) {
        Hash(data, size);
        return;
    }
    HandOff({data, size});
    current = 1 - current;
}

void OverlappedSha1::AddHeld(std::span<const char> bytes) {
    if (bytes.size() >= HAND_OFF_MIN_SIZE && StartWorker()) {
        HandOff(bytes);
        return;
    }
    Wait();  // the digest takes the bytes in order
    Hash(bytes.data(), bytes.size());
}

void OverlappedSha1::HandOff(std::span<const char> bytes) {
    {
        const std::lock_guard lock(mutex);
        pending.push_back(bytes);
    }
    changed.notify_all();
}

Sha1Digest OverlappedSha1::Finish() {
    Wait();
    const Sha1Digest finished = digest->Finish();
    digest.emplace();
    return finished;
}

}  // namespace parvane
