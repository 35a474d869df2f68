#pragma once

// The paths of a Wine prefix as a Linux player finds them on this system.

#include <filesystem>
#include <mutex>
#include <string>

#include "platform/TextHash.h"
#include "platform/wine/paths/PathMapping.h"

namespace parvane::cli {

// The host paths of Windows paths of one prefix, through no link, with the home folder as "~";
// empty when no drive of the prefix holds the path. A listing shows thousands of paths below
// the same few folders, and following the links of a path costs a call per name, so each
// folder's link-free form is found once and kept for the life of the object.
class HostPathNames {
  public:
    explicit HostPathNames(std::filesystem::path prefixFolder) : prefix(std::move(prefixFolder)) {}

    std::string Of(const std::string& windowsPath);

  private:
    std::string WithoutLinks(const wine::HostPath& host);

    std::filesystem::path prefix;
    std::mutex mutex;
    // Found by a view of the path asked, without a copy of its folder part.
    TextMap<std::string> foldersWithoutLinks;
};

}  // namespace parvane::cli
