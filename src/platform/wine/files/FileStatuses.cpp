#include "platform/wine/files/FileStatuses.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <thread>
#include <unordered_map>

#include "platform/AsciiCase.h"
#include "platform/wine/files/FileOperations.h"
#include "platform/wine/files/ItemsOnThreads.h"
#include "platform/wine/paths/PathMapping.h"
#include "platform/wine/text/Codepage.h"

namespace parvane::wine {

namespace {

// Fewer paths than this per thread are not worth a thread.
constexpr std::size_t PATHS_PER_THREAD = 64;
// Paths of one folder taken together by one thread; each part opens the folder itself.
constexpr std::size_t PATHS_PER_PART = 128;

// What a character of a path is to the check of its names.
enum class CharacterKind : std::uint8_t { Name, Separator, Forbidden };

// The kind of every byte, looked up for every character of every path asked about.
const std::array<CharacterKind, 256>& CharacterKinds() {
    static const std::array<CharacterKind, 256> kinds = [] {
        std::array<CharacterKind, 256> table{};
        for (std::size_t byte = 0; byte < table.size(); ++byte) {
            const auto c = static_cast<char>(byte);
            table[byte] = IsSeparator(c)                ? CharacterKind::Separator
                          : IsForbiddenNameCharacter(c) ? CharacterKind::Forbidden
                                                        : CharacterKind::Name;
        }
        return table;
    }();
    return kinds;
}

// Whether every name from `start` on (where a name begins) reaches the host as it is, without
// a character Windows refuses in a name, and one separator stands between each two;
// `lastSeparator` is then the separator before the last name (`start` - 1 when there is
// none). One pass, as it runs on every path of the catalogue.
bool HasOnlyPlainNames(std::string_view path, std::size_t start, std::size_t& lastSeparator) {
    const std::array<CharacterKind, 256>& kinds = CharacterKinds();
    lastSeparator = start - 1;
    for (std::size_t i = start; i < path.size(); ++i) {
        const CharacterKind kind = kinds[static_cast<unsigned char>(path[i])];
        if (kind == CharacterKind::Forbidden) {
            return false;
        }
        if (kind == CharacterKind::Separator) {
            if (!HasPlainEnd(path.substr(start, i - start))) {
                return false;
            }
            lastSeparator = i;
            start = i + 1;
        }
    }
    return HasPlainEnd(path.substr(start));
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

// Whether the last name of a path whose names are plain begins with a dot, which Wine shows as
// hidden.
bool LastNameIsDotted(std::string_view path) {
    std::size_t start = path.size();
    while (start > 0 && !IsSeparator(path[start - 1])) {
        --start;
    }
    return start < path.size() && path[start] == '.';
}

// Names below a drive's root as the host spells them, into `host`, whose room is kept from path
// to path.
void SpellForHost(std::string_view names, std::string& host) {
    const bool ascii = std::all_of(names.begin(), names.end(), [](char byte) {
        return static_cast<unsigned char>(byte) < 0x80;
    });
    if (ascii) {
        host.assign(names);
    } else {
        host = Cp1252ToUtf8(names);
    }
    std::replace(host.begin(), host.end(), '\\', '/');
}

// The paths of one folder below one drive's root, spelled as asked: the host is asked for
// their names inside the folder, opened once, so that it walks the folders on the way once.
struct FolderGroup {
    int driveFd = -1;
    std::string_view folder;  // below the drive's root, as asked; empty for the root itself
    std::size_t first = 0;    // where its paths start in `members`
    std::size_t count = 0;
};

// A folder by its drive letter in capitals and its text below the drive's root, as asked.
struct FolderKey {
    char drive = '\0';
    std::string_view folder;

    bool operator==(const FolderKey&) const = default;
};

struct FolderKeyHash {
    std::size_t operator()(const FolderKey& key) const noexcept {
        return std::hash<std::string_view>{}(key.folder) ^ static_cast<unsigned char>(key.drive);
    }
};

// The paths whose every name may be spelled on the disk as asked, by drive and folder: each
// group's paths lie together in `members` (positions in `paths`), each path's names below the
// group's folder starting at `nameStarts`: its last name, or its last two when it is alone in its
// folder. The drives' roots are opened once each, into `drives`. The other paths are in no
// group. Views into `paths`, which must outlive them.
struct Groups {
    std::vector<FolderGroup> groups;
    std::vector<std::size_t> members;
    std::vector<std::size_t> nameStarts;
};

Groups GroupByFolder(const std::filesystem::path& prefix, std::span<const std::string_view> paths,
                     std::array<std::optional<FolderHandle>, 26>& drives) {
    constexpr std::size_t NO_GROUP = SIZE_MAX;
    Groups grouped;
    std::vector<std::size_t> groupOf(paths.size(), NO_GROUP);
    grouped.nameStarts.assign(paths.size(), 0);
    std::unordered_map<FolderKey, std::size_t, FolderKeyHash> groupOfFolder;
    // Paths of one folder mostly follow each other. A path in the folder of the path before
    // (its text up to its last separator, names found plain) needs only its last name checked,
    // and joins the same group.
    std::string_view lastFolder;
    std::size_t lastGroup = 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string_view path = paths[i];
        if (path.size() > MAX_WINDOWS_PATH || path.size() < 4 || !IsAbsoluteWindowsPath(path)) {
            continue;
        }
        const bool belowLastFolder = !lastFolder.empty() && path.size() > lastFolder.size() &&
                                     path.starts_with(lastFolder) &&
                                     IsSeparator(path[lastFolder.size()]);
        std::size_t lastSeparator = 0;
        if (!HasOnlyPlainNames(path, belowLastFolder ? lastFolder.size() + 1 : 3, lastSeparator)) {
            continue;
        }
        if (!belowLastFolder || lastSeparator != lastFolder.size()) {
            const char drive = UpperAscii(path[0]);
            std::optional<FolderHandle>& root = drives[static_cast<std::size_t>(drive - 'A')];
            if (!root) {
                root.emplace(AT_FDCWD, HostDriveOf(prefix, drive));
            }
            if (root->Fd() < 0) {
                continue;
            }
            const std::string_view folder =
                lastSeparator > 2 ? path.substr(3, lastSeparator - 3) : std::string_view();
            const auto [group, added] =
                groupOfFolder.try_emplace(FolderKey{drive, folder}, grouped.groups.size());
            if (added) {
                grouped.groups.push_back({root->Fd(), folder, 0, 0});
            }
            lastGroup = group->second;
            lastFolder = path.substr(0, lastSeparator);
        }
        groupOf[i] = lastGroup;
        grouped.nameStarts[i] = lastSeparator + 1;
        ++grouped.groups[lastGroup].count;
    }
    // A path alone in its folder joins the group of the folder above: a thousand courses, each
    // in a folder of its own, are looked up inside one open folder, not each from the drive's
    // root again.
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (groupOf[i] == NO_GROUP || grouped.groups[groupOf[i]].count != 1) {
            continue;
        }
        const std::string_view folder = grouped.groups[groupOf[i]].folder;
        const std::size_t cut = folder.find_last_of("\\/");
        if (cut == std::string_view::npos) {
            continue;  // the folder above is the drive's root
        }
        const FolderKey above{UpperAscii(paths[i][0]), folder.substr(0, cut)};
        const auto [group, added] = groupOfFolder.try_emplace(above, grouped.groups.size());
        if (added) {
            grouped.groups.push_back({grouped.groups[groupOf[i]].driveFd, above.folder, 0, 0});
        }
        --grouped.groups[groupOf[i]].count;
        groupOf[i] = group->second;
        ++grouped.groups[groupOf[i]].count;
        grouped.nameStarts[i] = 3 + cut + 1;
    }
    std::size_t next = 0;
    for (FolderGroup& group : grouped.groups) {
        group.first = next;
        next += group.count;
        group.count = 0;
    }
    grouped.members.resize(next);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (groupOf[i] != NO_GROUP) {
            FolderGroup& group = grouped.groups[groupOf[i]];
            grouped.members[group.first + group.count++] = i;
        }
    }
    return grouped;
}

// The status of `below` (the host's spelling of the names as asked, the last one `name` as
// asked) in an open folder; false when it is missing or a link, which GetFileStatus must answer
// for.
bool StatusOfPlainPath(int folderFd, const std::string& below, bool dotted, PathStatus& result) {
    struct stat status {};
    if (fstatat(folderFd, below.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        S_ISLNK(status.st_mode)) {
        return false;
    }
    result.status = FileStatusOf(status, false, dotted);
    result.error = ERR_SUCCESS;
    return true;
}

// A part of a group's paths, small enough that a folder of thousands is shared among the threads.
struct GroupPart {
    std::size_t group = 0;
    std::size_t first = 0;  // its first path among the group's
    std::size_t count = 0;
};

std::vector<GroupPart> SplitIntoParts(const std::vector<FolderGroup>& groups) {
    std::vector<GroupPart> parts;
    parts.reserve(groups.size());
    for (std::size_t group = 0; group < groups.size(); ++group) {
        for (std::size_t first = 0; first < groups[group].count; first += PATHS_PER_PART) {
            parts.push_back({group, first, std::min(PATHS_PER_PART, groups[group].count - first)});
        }
    }
    return parts;
}

void TakePartStatuses(const GroupPart& part, const Groups& grouped,
                      std::span<const std::string_view> paths, std::vector<PathStatus>& statuses,
                      std::vector<char>& taken) {
    const FolderGroup& group = grouped.groups[part.group];
    const auto members = std::span(grouped.members).subspan(group.first + part.first, part.count);
    std::string host;
    // A folder of one path is not worth opening: that path is asked below the drive's root.
    if (group.folder.empty() || group.count == 1) {
        for (const std::size_t i : members) {
            SpellForHost(paths[i].substr(3), host);
            taken[i] =
                StatusOfPlainPath(group.driveFd, host, LastNameIsDotted(paths[i]), statuses[i]) ? 1
                                                                                                : 0;
        }
        return;
    }
    SpellForHost(group.folder, host);
    const FolderHandle opened(group.driveFd, host);
    for (std::size_t k = 0; opened.Fd() >= 0 && k < members.size(); ++k) {
        const std::size_t i = members[k];
        SpellForHost(paths[i].substr(grouped.nameStarts[i]), host);
        taken[i] =
            StatusOfPlainPath(opened.Fd(), host, LastNameIsDotted(paths[i]), statuses[i]) ? 1 : 0;
    }
}

// As many threads as cores, and at least two, so that one waits on the disk while the other
// works: a warm load is bound by the processor, and threads beyond the cores would only take
// turns with the caller's, whose own work waits for theirs.
std::size_t StatusThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp<std::size_t>(cores, 2, 8);
}

}  // namespace

void GetFileStatuses(const std::filesystem::path& prefix, std::span<const std::string_view> paths,
                     std::vector<PathStatus>& statuses) {
    statuses.assign(paths.size(), {});
    std::array<std::optional<FolderHandle>, 26> drives;
    const Groups grouped = GroupByFolder(prefix, paths, drives);
    const std::vector<GroupPart> parts = SplitIntoParts(grouped.groups);
    std::vector<char> taken(paths.size(), 0);
    ForEachItemOnThreads(
        parts.size(), std::clamp<std::size_t>(paths.size() / PATHS_PER_THREAD, 1, StatusThreads()),
        [&](std::size_t part) { TakePartStatuses(parts[part], grouped, paths, statuses, taken); });
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (taken[i] == 0) {
            statuses[i].error = GetFileStatus(prefix, std::string(paths[i]), statuses[i].status);
        }
    }
}

}  // namespace parvane::wine
