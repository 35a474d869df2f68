#pragma once

// SHA-1 of data that passes through a buffer block by block, with each full block hashed on a
// second thread while the caller reads and writes the next one: hashing a large file then
// costs little more than copying it. A shorter block (a file's last) is hashed at once, so
// small files start no thread. Bytes the caller holds itself are queued for that thread
// without waiting for it. One object serves file after file.

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>

#include "base/Sha1.h"
#include "base/WorkerQueue.h"

namespace parvane {

class OverlappedSha1 {
  public:
    explicit OverlappedSha1(std::size_t blockSize);

    // The buffer to fill next; its contents stay the caller's until `Add`.
    std::span<char> Buffer() { return {buffers[current].get(), blockSize}; }
    // Adds the first `size` bytes of `Buffer()` to the digest. The block stays readable until
    // the next block is added.
    void Add(std::size_t size);
    // Adds bytes held by the caller, queued for the second thread behind those added before:
    // they must stay unchanged until `Wait`, `Add` or `Finish` returns.
    void AddHeld(std::span<const char> bytes);
    // Waits until every block added so far is hashed.
    void Wait() { worker.Wait(); }
    // The digest of what was added since the last `Finish`.
    Sha1Digest Finish();

  private:
    void HandOff(std::span<const char> bytes);
    void Hash(std::span<const char> bytes) { digest->Add(bytes.data(), bytes.size()); }

    std::optional<Sha1> digest{std::in_place};
    std::size_t blockSize;
    // Left uninitialised: a small file touches only the pages it fills.
    std::array<std::unique_ptr<char[]>, 2> buffers;
    std::size_t current = 0;
    // Declared last, so that it is gone, its jobs done, before what they use.
    WorkerQueue worker;
};

}  // namespace parvane
