#include "platform/wine/files/FileStatuses.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "platform/AsciiCase.h"
#include "platform/wine/files/FileOperations.h"
#include "platform/wine/files/ItemsOnThreads.h"
#include "platform/wine/paths/PathMapping.h"
#include "platform/wine/text/Codepage.h"

namespace parvane::wine {

namespace {

constexpr std::size_t STATUS_THREADS = 4;
// Fewer paths than this per thread are not worth a thread.
constexpr std::size_t PATHS_PER_THREAD = 64;

// A name that reaches the host as it is: not "." or "..", without the trailing dots and blanks
// Windows drops from a last name, and without a character Windows refuses in a name.
bool IsPlainName(std::string_view name) {
    return !name.empty() && name.back() != '.' && name.back() != ' ' &&
           std::none_of(name.begin(), name.end(),
                        [](char c) { return IsForbiddenNameCharacter(c); });
}

// Whether every name after the drive is plain and one separator stands between each two.
bool HasOnlyPlainNames(std::string_view path) {
    std::size_t start = 3;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        if (!IsPlainName(path.substr(start, end - start))) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

// The host folder of a drive's root; empty when the prefix has no such drive.
std::string HostDriveOf(const std::filesystem::path& prefix, char drive) {
    HostPath host;
    if (ResolveWindowsPath(prefix, std::string{drive, ':', '\\'}, host) != ERR_SUCCESS ||
        !host.Exists()) {
        return {};
    }
    return host.path;
}

// An open host folder, closed with it; -1 when it could not be opened.
class FolderHandle {
  public:
    FolderHandle(int at, const std::string& path)
        : fd(openat(at, path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)) {}
    ~FolderHandle() {
        if (fd >= 0) {
            close(fd);
        }
    }
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;
    int Fd() const { return fd; }

  private:
    int fd;
};

// The paths of one folder below one drive's root, spelled as asked: the host is asked for
// their names inside the folder, opened once, so that it walks the folders on the way once.
struct FolderGroup {
    int driveFd = -1;
    std::string folder;  // below the drive's root, UTF-8; empty for the root itself
    std::vector<std::size_t> paths;
    std::vector<std::string> names;  // UTF-8
};

// A folder below a drive's root as the host spells it.
std::string HostSpelling(std::string_view folder) {
    std::string host = Cp1252ToUtf8(folder);
    std::replace(host.begin(), host.end(), '\\', '/');
    return host;
}

// The paths whose every name may be spelled on the disk as asked, by drive and folder; the
// drives' roots are opened once each, into `drives`. The other paths are in no group.
std::vector<FolderGroup> GroupByFolder(const std::filesystem::path& prefix,
                                       const std::vector<std::string>& paths,
                                       std::array<std::optional<FolderHandle>, 26>& drives) {
    std::vector<FolderGroup> groups;
    std::unordered_map<std::string, std::size_t> groupOfFolder;
    std::string key;  // the drive and the folder as asked, kept to spare an allocation a path
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string_view path = paths[i];
        if (path.size() > MAX_WINDOWS_PATH || path.size() < 4 || !IsAbsoluteWindowsPath(path) ||
            !HasOnlyPlainNames(path)) {
            continue;
        }
        const char drive = UpperAscii(path[0]);
        std::optional<FolderHandle>& root = drives[static_cast<std::size_t>(drive - 'A')];
        if (!root) {
            root.emplace(AT_FDCWD, HostDriveOf(prefix, drive));
        }
        if (root->Fd() < 0) {
            continue;
        }
        const std::string_view below = path.substr(3);
        const std::size_t cut = below.find_last_of("\\/");
        const std::string_view folder =
            cut == std::string_view::npos ? std::string_view() : below.substr(0, cut);
        key.assign(1, drive);
        key += folder;
        auto group = groupOfFolder.find(key);
        if (group == groupOfFolder.end()) {
            group = groupOfFolder.emplace(key, groups.size()).first;
            groups.push_back({root->Fd(), HostSpelling(folder), {}, {}});
        }
        groups[group->second].paths.push_back(i);
        groups[group->second].names.push_back(
            Cp1252ToUtf8(cut == std::string_view::npos ? below : below.substr(cut + 1)));
    }
    return groups;
}

// The status of `below` (names spelled as asked, the last one `name`) in an open folder; false
// when it is missing or a link, which GetFileStatus must answer for.
bool StatusOfPlainPath(int folderFd, const std::string& below, std::string_view name,
                       PathStatus& result) {
    struct stat status {};
    if (fstatat(folderFd, below.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        S_ISLNK(status.st_mode)) {
        return false;
    }
    result.status = FileStatusOf(status, false, name.front() == '.');
    result.error = ERR_SUCCESS;
    return true;
}

void TakeGroupStatuses(const FolderGroup& group, std::vector<PathStatus>& statuses,
                       std::vector<char>& taken) {
    // A folder of one path is not worth opening: that path is asked below the drive's root.
    const bool openFolder = !group.folder.empty() && group.paths.size() > 1;
    std::optional<FolderHandle> opened;
    if (openFolder) {
        opened.emplace(group.driveFd, group.folder);
    }
    const int at = openFolder ? opened->Fd() : group.driveFd;
    const std::string folderPart = openFolder || group.folder.empty() ? "" : group.folder + '/';
    for (std::size_t k = 0; at >= 0 && k < group.paths.size(); ++k) {
        const std::size_t i = group.paths[k];
        taken[i] =
            StatusOfPlainPath(at, folderPart + group.names[k], group.names[k], statuses[i]) ? 1 : 0;
    }
}

}  // namespace

void GetFileStatuses(const std::filesystem::path& prefix, const std::vector<std::string>& paths,
                     std::vector<PathStatus>& statuses) {
    statuses.assign(paths.size(), {});
    std::array<std::optional<FolderHandle>, 26> drives;
    const std::vector<FolderGroup> groups = GroupByFolder(prefix, paths, drives);
    std::vector<char> taken(paths.size(), 0);
    ForEachItemOnThreads(
        groups.size(), std::clamp<std::size_t>(paths.size() / PATHS_PER_THREAD, 1, STATUS_THREADS),
        [&](std::size_t group) { TakeGroupStatuses(groups[group], statuses, taken); });
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (taken[i] == 0) {
            statuses[i].error = GetFileStatus(prefix, paths[i], statuses[i].status);
        }
    }
}

}  // namespace parvane::wine
