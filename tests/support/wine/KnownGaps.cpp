#include "support/KnownGaps.h"

#include <map>

namespace parvane::test {

const char* KnownGapReason(const std::string& testName) {
    static const std::map<std::string, const char*> GAPS = {
        {"MachineStatus.UniqueTempFileInAMissingFolderIsNotADirectory",
         "GetTempFileNameA answers 267 (ERROR_DIRECTORY) for a missing folder; the Wine backend "
         "answers 3"},
    };
    const auto gap = GAPS.find(testName);
    return gap == GAPS.end() ? nullptr : gap->second;
}

}  // namespace parvane::test
