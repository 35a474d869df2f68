#include "app/cli/HostPaths.h"

#include <sys/stat.h>

#include "platform/wine/paths/PathMapping.h"
#include "platform/wine/paths/WinePrefix.h"

namespace parvane::cli {

namespace {

std::filesystem::path WeaklyCanonicalOr(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical;
}

// The status the path's resolution took of its last name saves asking again.
bool IsLink(const wine::HostPath& host, const std::filesystem::path& path) {
    if (host.statusKnown) {
        return S_ISLNK(host.status.st_mode);
    }
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

}  // namespace

// The folder's form is kept only when the whole folder exists: a folder made later could be a
// link. The path is cut as text: this runs for every entry of a listing.
std::string HostPathNames::WithoutLinks(const wine::HostPath& host) {
    const std::string& asked = host.path;
    const std::size_t cut = asked.rfind('/');
    const std::string_view name =
        cut == std::string::npos ? std::string_view() : std::string_view(asked).substr(cut + 1);
    if (cut == std::string::npos || cut == 0 || name.empty() || name == "." || name == "..") {
        return WeaklyCanonicalOr(host.path).native();
    }
    const std::string_view parent = std::string_view(asked).substr(0, cut);
    auto known = foldersWithoutLinks.find(parent);
    if (known == foldersWithoutLinks.end()) {
        std::error_code error;
        const std::filesystem::path canonical =
            std::filesystem::canonical(std::filesystem::path(parent), error);
        if (error) {
            return WeaklyCanonicalOr(host.path).native();
        }
        known = foldersWithoutLinks.emplace(std::string(parent), canonical.native()).first;
    }
    std::string path = known->second + '/';
    path += name;
    return IsLink(host, path) ? WeaklyCanonicalOr(path).native() : path;
}

std::string HostPathNames::Of(const std::string& windowsPath) {
    wine::HostPath host;
    if (windowsPath.empty() || wine::ResolveWindowsPath(prefix, windowsPath, host) != ERR_SUCCESS) {
        return {};
    }
    std::string shown;
    {
        const std::lock_guard lock(mutex);
        shown = WithoutLinks(host);
    }
    const std::string home = wine::HomeFolder().string();
    if (!home.empty() && home != "/" && shown.starts_with(home + "/")) {
        return "~" + shown.substr(home.size());
    }
    return shown;
}

}  // namespace parvane::cli
