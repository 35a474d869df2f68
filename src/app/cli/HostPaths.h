#pragma once

// The paths of a Wine prefix as a Linux player finds them on this system.

#include <filesystem>
#include <mutex>
#include <string>
#include <unordered_set>

#include "platform/TextHash.h"
#include "platform/wine/paths/PathMapping.h"

namespace parvane::cli {

// The host paths of Windows paths of one prefix, through no link, with the home folder as "~";
// empty when no drive of the prefix holds the path. A listing shows thousands of paths below
// the same few folders, and following the links of a path costs a call per name, so each
// folder's link-free form is found once and kept for the life of the object; a name below a
// folder found before then costs one lstat instead of a resolution of its whole path.
class HostPathNames {
  public:
    explicit HostPathNames(std::filesystem::path prefixFolder);
    ~HostPathNames();
    HostPathNames(const HostPathNames&) = delete;
    HostPathNames& operator=(const HostPathNames&) = delete;

    std::string Of(const std::string& windowsPath);

  private:
    std::string InFolderFound(std::string_view windowsFolder, std::string_view name);
    std::string WithoutLinks(const wine::HostPath& host, std::string_view windowsFolder);

    std::filesystem::path prefix;
    std::string homeFolder;  // with its separator; empty when there is none to shorten
    std::mutex mutex;
    // Found by a view of the path asked, without a copy of its folder part.
    TextMap<std::string> foldersWithoutLinks;
    // A folder's form by its Windows text, to which a plain name found there is joined, and
    // the folder held open, so that the name is looked up in it without walking the whole path
    // again (-1 past the first few folders). A folder asked about often is listed once: the
    // names the listing shows to be no link are then found without asking the host.
    struct KnownFolder {
        std::string path;
        int descriptor = -1;
        std::size_t lookups = 0;
        bool listed = false;
        std::unordered_set<std::string, TextHash, std::equal_to<>> plainNames = {};
    };
    TextMap<KnownFolder> foldersByWindowsText;
};

}  // namespace parvane::cli
