#pragma once

// The statuses of many files of a Wine prefix at once.

#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "platform/Machine.h"

namespace parvane::wine {

// GetFileStatus for each of `paths`. The host is asked for each path as spelled, by several
// threads at once; a path it does not hold so (a name in another letter case, a link at its
// end, a name Windows would alter) takes GetFileStatus's own way, so every answer is the one
// GetFileStatus gives.
void GetFileStatuses(const std::filesystem::path& prefix, std::span<const std::string_view> paths,
                     std::vector<PathStatus>& statuses);

}  // namespace parvane::wine
