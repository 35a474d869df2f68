#pragma once

// New memory gets its pages from the kernel one fault at a time as it is first written. A large
// buffer about to be filled can be given all its pages at once instead, on a thread that has
// nothing better to do.

#include <span>

namespace parvane {

// Gives `memory` its pages: at once where the kernel can (Linux 5.14 on), else page by page.
// Its bytes are left unspecified.
void TakePages(std::span<char> memory);

// Has the C library's allocator grow the heap in large steps and keep what is freed for the
// rest of the process: a short run that builds and drops tens of thousands of records otherwise
// grows and shrinks its heaps again and again, and each change of a heap costs a call and its
// pages new faults. The main heap's first step is taken now, and the kernel is asked to give it
// in huge pages where it does so on request: its few megabytes then cost a few faults, not one
// for every 4 KiB. Where the allocator has no such settings, nothing changes.
void KeepHeapsGrown();

}  // namespace parvane
