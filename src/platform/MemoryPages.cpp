#include "platform/MemoryPages.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#ifdef __linux__
#include <sys/mman.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#include <unistd.h>
#endif

namespace parvane {

namespace {

constexpr std::size_t PAGE_SIZE = 4096;
#ifdef __GLIBC__
// What a heap grows by beyond each need, and what it may hold free at its end before it shrinks.
constexpr int HEAP_GROWTH = 8 << 20;
constexpr int HEAP_KEPT_FREE = 128 << 20;
// Blocks from this size on get memory of their own, given back when freed. Setting the others
// stops the allocator from raising this itself as large blocks are freed; this is as high as it
// would raise it.
constexpr int OWN_MEMORY_FROM = 32 << 20;
// A block that the heap's free start cannot hold, so that the heap takes its first step now.
constexpr std::size_t HEAP_GROWTH_TRIGGER = 1 << 20;
// The huge page of x86-64, and of arm64 with 4 KiB pages.
constexpr std::uintptr_t HUGE_PAGE_SIZE = 2 << 20;
#endif

void TouchEveryPage(std::span<char> memory) {
    for (std::size_t at = 0; at < memory.size(); at += PAGE_SIZE) {
        memory[at] = 0;
    }
}

#ifdef __linux__
// One call for the whole pages inside `memory`; about a quarter cheaper than a fault for each.
bool PopulatePages(std::span<char> memory) {
    const auto start = reinterpret_cast<std::uintptr_t>(memory.data());
    const std::uintptr_t first = (start + PAGE_SIZE - 1) / PAGE_SIZE * PAGE_SIZE;
    const std::uintptr_t last = (start + memory.size()) / PAGE_SIZE * PAGE_SIZE;
    return last <= first ||
           madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE) == 0;
}
#endif

#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
// Grows the main heap by its step now, and advises huge pages for the whole huge pages inside
// what it grew by. The heap grows by moving the program break, and only that growth is advised:
// where it had room or could not grow that way, nothing is.
void AskHugePagesForMainHeap() {
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // Volatile, so that the compiler keeps the allocation.
    void* volatile block = std::malloc(HEAP_GROWTH_TRIGGER);
    std::free(block);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const std::uintptr_t first = (before + HUGE_PAGE_SIZE - 1) / HUGE_PAGE_SIZE * HUGE_PAGE_SIZE;
    const std::uintptr_t last = after / HUGE_PAGE_SIZE * HUGE_PAGE_SIZE;
    if (last > first) {
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}
#endif

}  // namespace

void TakePages(std::span<char> memory) {
#ifdef __linux__
    if (PopulatePages(memory)) {
        return;
    }
#endif
    TouchEveryPage(memory);
}

void KeepHeapsGrown() {
#ifdef __GLIBC__
    mallopt(M_TOP_PAD, HEAP_GROWTH);
    mallopt(M_TRIM_THRESHOLD, HEAP_KEPT_FREE);
    mallopt(M_MMAP_THRESHOLD, OWN_MEMORY_FROM);
#endif
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
    AskHugePagesForMainHeap();
#endif
}

}  // namespace parvane
