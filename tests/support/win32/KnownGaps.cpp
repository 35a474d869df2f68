#include "support/KnownGaps.h"

namespace parvane::test {

// The Win32 backend is Windows itself (or Wine's implementation of it): no gaps by definition.
const char* KnownGapReason(const std::string&) {
    return nullptr;
}

}  // namespace parvane::test
