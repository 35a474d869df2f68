#include "platform/wine/files/FileStatuses.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <string_view>
#include <thread>
#include <unordered_map>

#include "platform/wine/files/FileOperations.h"
#include "platform/wine/paths/PathMapping.h"
#include "platform/wine/text/Codepage.h"

namespace parvane::wine {

namespace {

constexpr std::size_t STATUS_THREADS = 4;
// Fewer paths than this per thread are not worth a thread.
constexpr std::size_t PATHS_PER_THREAD = 64;

// A last name that reaches the host as it is: not "." or "..", without the trailing dots and
// blanks Windows drops, and without a character Windows refuses in a name.
bool IsPlainName(std::string_view name) {
    return !name.empty() && name.back() != '.' && name.back() != ' ' &&
           std::none_of(name.begin(), name.end(), IsForbiddenNameCharacter);
}

// The host folder of a Windows folder path as it is now; empty when it cannot be found.
std::string HostFolderOf(const std::filesystem::path& prefix, const std::string& folder) {
    HostPath host;
    if (ResolveWindowsPath(prefix, folder, host) != ERR_SUCCESS || !host.Exists()) {
        return {};
    }
    return host.path;
}

// The host path of each path whose folder could be found and whose last name is plain, or
// empty: the folders are found once each.
std::vector<std::string> HostCandidates(const std::filesystem::path& prefix,
                                        const std::vector<std::string>& paths) {
    std::vector<std::string> candidates(paths.size());
    std::unordered_map<std::string_view, std::string> hostFolders;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string_view path = paths[i];
        const std::size_t cut = path.find_last_of("\\/");
        if (path.size() > MAX_WINDOWS_PATH || !IsAbsoluteWindowsPath(path) ||
            cut == std::string_view::npos || cut == 0 || IsSeparator(path[cut - 1]) ||
            !IsPlainName(path.substr(cut + 1))) {
            continue;
        }
        const std::string_view folder = path.substr(0, cut);
        auto [known, added] = hostFolders.try_emplace(folder);
        if (added) {
            known->second = HostFolderOf(prefix, std::string(folder));
        }
        if (!known->second.empty()) {
            candidates[i] = known->second + '/' + Cp1252ToUtf8(path.substr(cut + 1));
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
