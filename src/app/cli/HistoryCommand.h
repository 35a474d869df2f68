#pragma once

// `parvane history`: every change made to the prefix's content, oldest first.

namespace parvane::cli {

// Prints the history; EXIT_NOT_DONE, after a message, when it cannot be read.
int PrintHistory();

}  // namespace parvane::cli
