#include "platform/wine/files/FolderListing.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "platform/wine/files/HostErrors.h"
#include "platform/wine/paths/FolderNameCache.h"
#include "platform/wine/paths/PathMapping.h"
#include "platform/wine/text/Codepage.h"
#include "platform/wine/text/NameCompare.h"
#include "platform/wine/text/Wildcard.h"

namespace parvane::wine {

namespace {

bool IsValidPatternCharacter(char c) {
    return c == '*' || c == '?' || !IsForbiddenNameCharacter(c);
}

FolderEntry DescribeEntry(const std::filesystem::path& hostPath, std::string name) {
    FolderEntry entry;
    entry.name = std::move(name);
    struct stat status {};
    struct stat own {};
    const bool isLink = lstat(hostPath.c_str(), &own) == 0 && S_ISLNK(own.st_mode);
    if (stat(hostPath.c_str(), &status) != 0 && lstat(hostPath.c_str(), &status) != 0) {
        entry.attributes = ATTR_ARCHIVE | (isLink ? ATTR_REPARSE_POINT : 0);
        return entry;
    }
    if (S_ISDIR(status.st_mode)) {
        entry.attributes = ATTR_DIRECTORY;
    } else {
        entry.attributes = ATTR_ARCHIVE;
        entry.size = static_cast<std::uint64_t>(status.st_size);
    }
    if ((status.st_mode & S_IWUSR) == 0) {
        entry.attributes |= ATTR_READONLY;
    }
    if (isLink) {
        entry.attributes |= ATTR_REPARSE_POINT;
    }
    if (entry.name.front() == '.' && entry.name != "." && entry.name != "..") {
        entry.attributes |= ATTR_HIDDEN;
    }
    return entry;
}

void SortByName(std::vector<FolderEntry>& entries) {
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return NameLessIgnoringCase(a.name, b.name);
    });
}

// Splits "C:\x\*.tca" into the folder "C:\x\" and the pattern "*.tca".
void SplitPattern(const std::string& pattern, std::string& folder, std::string& namePattern) {
    const std::size_t separator = pattern.find_last_of("\\/");
    if (separator == std::string::npos) {
        const bool driveRelative = pattern.size() >= 2 && pattern[1] == ':';
        folder = driveRelative ? pattern.substr(0, 2) : ".";
        namePattern = driveRelative ? pattern.substr(2) : pattern;
        return;
    }
    folder = pattern.substr(0, separator + 1);
    namePattern = pattern.substr(separator + 1);
}

}  // namespace

Win32Error ListFolder(const std::filesystem::path& prefix, const std::string& pattern,
                      std::vector<FolderEntry>& entries) {
    entries.clear();
    std::string folder;
    std::string namePattern;
    SplitPattern(pattern, folder, namePattern);
    if (namePattern.empty()) {
        return ERR_FILE_NOT_FOUND;
    }
    if (!std::all_of(namePattern.begin(), namePattern.end(), IsValidPatternCharacter)) {
        return ERR_INVALID_NAME;
    }
    HostPath host;
    const Win32Error error = ResolveWindowsPath(prefix, folder, host);
    if (error != ERR_SUCCESS) {
        return error;
    }
    if (!host.Exists()) {
        return ERR_PATH_NOT_FOUND;
    }
    // The status taken while resolving is the folder's own unless the name is a link.
    const bool statusServes = host.statusKnown && S_ISDIR(host.status.st_mode);
    const std::vector<std::string>* names = nullptr;
    const int listError = ListNames(host.path, statusServes ? &host.status : nullptr, names);
    if (listError != 0) {
        return listError == ENOTDIR ? ERR_PATH_NOT_FOUND
                                    : Win32ErrorFromErrno(listError, host.path);
    }
    const WildcardPattern matcher(namePattern);
    if (!host.IsDriveRoot()) {
        for (const char* dots : {".", ".."}) {
            if (matcher.Matches(dots)) {
                entries.push_back({dots, ATTR_DIRECTORY, 0});
            }
        }
    }
    const std::size_t firstListed = entries.size();
    for (const std::string& hostName : *names) {
        std::string name = Utf8ToCp1252WithSubstitutes(hostName);
        if (matcher.Matches(name)) {
            entries.push_back(
                DescribeEntry(std::filesystem::path(host.path) / hostName, std::move(name)));
        }
    }
    std::vector<FolderEntry> listed(
        std::make_move_iterator(entries.begin() + static_cast<std::ptrdiff_t>(firstListed)),
        std::make_move_iterator(entries.end()));
    entries.resize(firstListed);
    SortByName(listed);
    std::move(listed.begin(), listed.end(), std::back_inserter(entries));
    return entries.empty() ? ERR_FILE_NOT_FOUND : ERR_SUCCESS;
}

}  // namespace parvane::wine
