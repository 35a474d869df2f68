#include "platform/wine/files/FileStatuses.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <optional>
#include <string_view>
#include <thread>

#include "platform/AsciiCase.h"
#include "platform/wine/files/FileOperations.h"
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
           std::none_of(name.begin(), name.end(), IsForbiddenNameCharacter);
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
    std::string folder = std::move(host.path);
    while (!folder.empty() && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

// The host path each path has when every name is spelled on the disk as asked, or empty for a
// path that may not be the one Windows would reach that way: the drives are found once each,
// and the host itself finds the names.
std::vector<std::string> HostCandidates(const std::filesystem::path& prefix,
                                        const std::vector<std::string>& paths) {
    std::vector<std::string> candidates(paths.size());
    std::array<std::optional<std::string>, 26> hostDrives;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string_view path = paths[i];
        if (path.size() > MAX_WINDOWS_PATH || path.size() < 4 || !IsAbsoluteWindowsPath(path) ||
            !HasOnlyPlainNames(path)) {
            continue;
        }
        const char drive = UpperAscii(path[0]);
        std::optional<std::string>& hostDrive = hostDrives[static_cast<std::size_t>(drive - 'A')];
        if (!hostDrive) {
            hostDrive = HostDriveOf(prefix, drive);
        }
        if (!hostDrive->empty()) {
            std::string candidate = *hostDrive + '/' + Cp1252ToUtf8(path.substr(3));
            std::replace(candidate.begin() + static_cast<std::ptrdiff_t>(hostDrive->size()),
                         candidate.end(), '\\', '/');
            candidates[i] = std::move(candidate);
        }
    }
    return candidates;
}

// The status of a host name spelled as asked; false when it is missing or a link, which
// GetFileStatus must answer for.
bool StatusOfPlainName(const std::string& hostPath, std::string_view name, PathStatus& result) {
    struct stat status {};
    if (lstat(hostPath.c_str(), &status) != 0 || S_ISLNK(status.st_mode)) {
        return false;
    }
    result.status = FileStatusOf(status, false, name.front() == '.');
    result.error = ERR_SUCCESS;
    return true;
}

}  // namespace

void GetFileStatuses(const std::filesystem::path& prefix, const std::vector<std::string>& paths,
                     std::vector<PathStatus>& statuses) {
    statuses.assign(paths.size(), {});
    const std::vector<std::string> candidates = HostCandidates(prefix, paths);
    std::vector<char> taken(paths.size(), 0);
    std::atomic<std::size_t> next = 0;
    const auto takeStatuses = [&] {
        for (std::size_t i = next++; i < paths.size(); i = next++) {
            if (!candidates[i].empty()) {
                const std::string_view name =
                    std::string_view(candidates[i]).substr(candidates[i].find_last_of('/') + 1);
                taken[i] = StatusOfPlainName(candidates[i], name, statuses[i]) ? 1 : 0;
            }
        }
    };
    const std::size_t threadCount =
        std::clamp<std::size_t>(paths.size() / PATHS_PER_THREAD, 1, STATUS_THREADS);
    std::vector<std::thread> threads;
    for (std::size_t thread = 1; thread < threadCount; ++thread) {
        threads.emplace_back(takeStatuses);
    }
    takeStatuses();
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (taken[i] == 0) {
            statuses[i].error = GetFileStatus(prefix, paths[i], statuses[i].status);
        }
    }
}

}  // namespace parvane::wine
