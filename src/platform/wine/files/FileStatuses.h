#pragma once

// The statuses of many files of a Wine prefix at once.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Machine.h"

namespace parvane::wine {

// GetFileStatus for each of `paths`. Each folder is found once; the names spelled as the disk
// spells them are then taken by several threads at once. A name the host does not hold as
// spelled (another letter case, a link, a name Windows would alter) takes GetFileStatus's own
// way, so every answer is the one GetFileStatus gives.
void GetFileStatuses(const std::filesystem::path& prefix, const std::vector<std::string>& paths,
                     std::vector<PathStatus>& statuses);

}  // namespace parvane::wine
