#pragma once

// The history of changes: an append-only log in the state folder (history.log), one line per
// entry of every change that completed or was undone: time, install or uninstall, name, GUID,
// archive, result.

#include <string>
#include <vector>

#include "platform/Machine.h"

namespace parvane {

struct HistoryLine {
    std::string time;
    std::string kind;  // "install" or "uninstall"
    std::string name;
    std::string guidText;
    std::string archive;
    std::string result;
};

inline constexpr const char* RESULT_COMPLETED = "completed";
inline constexpr const char* RESULT_NOT_COMPLETED = "not completed, undone";
inline constexpr const char* RESULT_INTERRUPTED = "interrupted, undone";
inline constexpr const char* RESULT_FINISHED = "interrupted, completed at the next start";

bool AppendHistory(Machine& machine, const std::vector<HistoryLine>& lines);
// False when there is a history that cannot be read; none at all is an empty one.
bool ReadHistory(Machine& machine, std::vector<HistoryLine>& lines);

}  // namespace parvane
