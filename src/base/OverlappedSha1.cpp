#include "base/OverlappedSha1.h"

namespace parvane {

namespace {

// Held bytes fewer than this are hashed at once when the thread is idle: handing them over and
// waiting for it would cost more.
constexpr std::size_t HAND_OFF_MIN_SIZE = std::size_t{64} << 10;

}  // namespace

OverlappedSha1::OverlappedSha1(std::size_t size)
    : blockSize(size),
      buffers{std::make_unique_for_overwrite<char[]>(size),
              std::make_unique_for_overwrite<char[]>(size)} {}

void OverlappedSha1::HandOff(std::span<const char> bytes) {
    worker.Post([this, bytes] { Hash(bytes); });
}

void OverlappedSha1::Add(std::size_t size) {
    Wait();
    const std::span<const char> block(buffers[current].get(), size);
    if (size < blockSize) {
        Hash(block);
        return;
    }
    HandOff(block);
    current = 1 - current;
}

void OverlappedSha1::AddHeld(std::span<const char> bytes) {
    if (bytes.size() < HAND_OFF_MIN_SIZE && worker.Idle()) {
        Hash(bytes);
        return;
    }
    HandOff(bytes);
}

Sha1Digest OverlappedSha1::Finish() {
    Wait();
    const Sha1Digest finished = digest->Finish();
    digest.emplace();
    return finished;
}

}  // namespace parvane
