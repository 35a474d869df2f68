#pragma once

// New memory gets its pages from the kernel one fault at a time as it is first written. A large
// buffer about to be filled can be given all its pages at once instead, on a thread that has
// nothing better to do.

#include <span>

namespace parvane {

// Gives `memory` its pages: at once where the kernel can (Linux 5.14 on), else page by page.
// Its bytes are left unspecified.
void TakePages(std::span<char> memory);

}  // namespace parvane
