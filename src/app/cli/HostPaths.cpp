#include "app/cli/HostPaths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/wine/paths/PathMapping.h"
#include "platform/wine/paths/WinePrefix.h"
#include "platform/wine/text/Codepage.h"

namespace parvane::cli {

namespace {

// The folders held open at once: a listing's paths lie below a few.
constexpr std::size_t OPEN_FOLDERS = 64;
// Names looked up one by one in a folder before it is listed instead: a thousand courses lie in
// a thousand folders of one.
constexpr std::size_t LOOKUPS_BEFORE_LISTING = 16;

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

// The folder part of an absolute path whose last name reaches the host spelled as asked: no
// character Windows refuses, no trailing dot or blank that it drops. Empty for any other path.
std::string_view FolderOfPlainName(std::string_view windowsPath, std::string_view& name) {
    const std::size_t cut = windowsPath.find_last_of("\\/");
    if (windowsPath.size() > wine::MAX_WINDOWS_PATH || cut == std::string_view::npos ||
        !wine::IsAbsoluteWindowsPath(windowsPath)) {
        return {};
    }
    name = windowsPath.substr(cut + 1);
    const bool plain = wine::HasPlainEnd(name) &&
                       std::none_of(name.begin(), name.end(), wine::IsForbiddenNameCharacter);
    return plain ? windowsPath.substr(0, cut) : std::string_view();
}

// The names in the open folder `folder` that its listing shows to be a file or a folder, no
// link; a name of another kind, or of a kind the file system does not tell, is left out.
void ListPlainNames(int folder, std::unordered_set<std::string, TextHash, std::equal_to<>>& names) {
    const int listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) {
        return;
    }
    DIR* directory = fdopendir(listing);
    if (directory == nullptr) {
        close(listing);
        return;
    }
    while (const dirent* entry = readdir(directory)) {
        if (entry->d_type == DT_DIR || entry->d_type == DT_REG) {
            names.emplace(entry->d_name);
        }
    }
    closedir(directory);
}

}  // namespace

HostPathNames::HostPathNames(std::filesystem::path prefixFolder) : prefix(std::move(prefixFolder)) {
    const std::string home = wine::HomeFolder().string();
    if (!home.empty() && home != "/") {
        homeFolder = home + "/";
    }
}

HostPathNames::~HostPathNames() {
    for (const auto& [windowsText, folder] : foldersByWindowsText) {
        if (folder.descriptor >= 0) {
            close(folder.descriptor);
        }
    }
}

// The folder's form is kept only when the whole folder exists: a folder made later could be a
// link. The path is cut as text: this runs for every entry of a listing. The form is also kept
// by `windowsFolder`, the Windows text of the folder of a plain last name: every path in that
// text resolves the folder alike.
std::string HostPathNames::WithoutLinks(const wine::HostPath& host,
                                        std::string_view windowsFolder) {
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
    if (!windowsFolder.empty() && !foldersByWindowsText.contains(windowsFolder)) {
        const int descriptor =
            foldersByWindowsText.size() < OPEN_FOLDERS
                ? open(known->second.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)
                : -1;
        foldersByWindowsText.emplace(std::string(windowsFolder),
                                     KnownFolder{known->second, descriptor});
    }
    std::string path = known->second + '/';
    path += name;
    return IsLink(host, path) ? WeaklyCanonicalOr(path).native() : path;
}

// A plain last name in a folder resolved before: the full resolution asks the host for the
// spelling asked first, so when that is there and no link, it joined to the folder's link-free
// form is the answer, for one lstat, or none when the folder's listing shows the name. Empty
// when the path needs the full resolution (another spelling, a link, nothing there).
std::string HostPathNames::InFolderFound(std::string_view windowsFolder, std::string_view name) {
    std::string path;
    int folder = -1;
    std::size_t nameStart = 0;
    {
        const std::lock_guard lock(mutex);
        const auto known = foldersByWindowsText.find(windowsFolder);
        if (known == foldersByWindowsText.end()) {
            return {};
        }
        KnownFolder& found = known->second;
        path.reserve(found.path.size() + 1 + name.size());
        path = found.path;
        path += '/';
        nameStart = path.size();
        path += wine::Cp1252ToUtf8(name);
        if (!found.listed && found.descriptor >= 0 && ++found.lookups > LOOKUPS_BEFORE_LISTING) {
            ListPlainNames(found.descriptor, found.plainNames);
            found.listed = true;
        }
        if (found.plainNames.contains(std::string_view(path).substr(nameStart))) {
            return path;
        }
        folder = found.descriptor;
    }
    // A plain name has no separator and is neither "." nor "..": it stays inside the folder.
    struct stat status {};
    const int result = folder >= 0
                           ? fstatat(folder, path.c_str() + nameStart, &status, AT_SYMLINK_NOFOLLOW)
                           : lstat(path.c_str(), &status);
    if (result != 0 || S_ISLNK(status.st_mode)) {
        return {};
    }
    return path;
}

std::string HostPathNames::Of(const std::string& windowsPath) {
    std::string_view name;
    const std::string_view windowsFolder = FolderOfPlainName(windowsPath, name);
    std::string shown = windowsFolder.empty() ? std::string() : InFolderFound(windowsFolder, name);
    if (shown.empty()) {
        // The resolution keeps what it learns of the host's folders for the whole process: two
        // halves of a listing made side by side must not resolve at once.
        const std::lock_guard lock(mutex);
        wine::HostPath host;
        if (windowsPath.empty() ||
            wine::ResolveWindowsPath(prefix, windowsPath, host) != ERR_SUCCESS) {
            return {};
        }
        shown = WithoutLinks(host, windowsFolder);
    }
    if (!homeFolder.empty() && shown.starts_with(homeFolder)) {
        return "~" + shown.substr(homeFolder.size() - 1);
    }
    return shown;
}

}  // namespace parvane::cli
