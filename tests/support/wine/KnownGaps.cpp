#include "support/KnownGaps.h"

namespace parvane::test {

// The Wine backend answers every case of the shared tests as Windows does; a case it cannot
// match is listed here by name, with the reason (see tests/support/win32/KnownGaps.cpp).
const char* KnownGapReason(const std::string&) {
    return nullptr;
}

}  // namespace parvane::test
