// Folder operations over the machine: the folder part of a path, wildcard tests, creation of a
// whole folder path and removal of one folder with its files.

#include "archive/Folders.h"

#include <cstdint>
#include <vector>

#include "archive/RemovableLocation.h"
#include "archive/TempExtractionFolder.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "platform/Machine.h"

namespace parvane {

namespace {

bool IsExistingFolder(const std::string& path) {
    std::uint32_t attributes = 0;
    return TheMachine().GetAttributes(path, attributes) == ERR_SUCCESS &&
           (attributes & ATTR_DIRECTORY) != 0;
}

bool Exists(const std::string& path) {
    std::uint32_t attributes = 0;
    return TheMachine().GetAttributes(path, attributes) == ERR_SUCCESS;
}

std::vector<std::string> SplitAtBackslashes(const std::string& path) {
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        if (end > start) {
            components.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return components;
}

bool IsDotEntry(const std::string& name) {
    return name == "." || name == "..";
}

bool IsLink(std::uint32_t attributes) {
    return (attributes & ATTR_REPARSE_POINT) != 0;
}

// "C:", "C:\", "\\" or "\\server\share": a path that names a whole drive.
bool IsDriveRoot(std::string_view path) {
    const std::string_view trimmed = WithoutTrailingSeparators(path);
    if (trimmed.empty() || (trimmed.size() == 2 && trimmed[1] == ':')) {
        return true;
    }
    if (trimmed.size() < 2 || !IsPathSeparator(trimmed[0]) || !IsPathSeparator(trimmed[1])) {
        return false;
    }
    const std::size_t shareSeparator = trimmed.find_first_of("\\/", 2);
    return shareSeparator == std::string_view::npos ||
           trimmed.find_first_of("\\/", shareSeparator + 1) == std::string_view::npos;
}

// Why RemoveFolder must leave `folder` alone, or nothing when it may remove it. Where a missing
// folder lies does not matter: there is nothing to remove.
const char* RemovalRefusal(const std::string& folder, bool missing) {
    if (folder.empty()) {
        return "no folder is named";
    }
    if (IsDriveRoot(folder)) {
        return "it is the root of a drive";
    }
    if (HasDotComponent(folder)) {
        return "its path holds a \".\" or \"..\" component";
    }
    if (!missing && !IsOwnTemporaryFolder(folder) && !IsDeletableContentPath(folder)) {
        return "it lies neither inside the game's folder nor among Parvane's temporary folders";
    }
    if (IsSharedContentRoot(folder)) {
        return "it holds the game's courses, libraries or caddy books";
    }
    return nullptr;
}

// A link to a folder is removed as a folder, anything else as a file; neither follows a link.
Win32Error RemoveEntry(const std::string& path, std::uint32_t attributes) {
    return IsLink(attributes) && (attributes & ATTR_DIRECTORY) != 0
               ? TheMachine().RemoveEmptyFolder(path)
               : TheMachine().RemoveFile(path);
}

void RemoveFolderItself(const std::string& folder) {
    const Win32Error error = TheMachine().RemoveEmptyFolder(folder);
    if (error != ERR_SUCCESS) {
        ShowError("Couldn't remove directory '%s', return code=%d", folder.c_str(),
                  static_cast<int>(error));
    }
}

}  // namespace

std::string GetFolderPart(const std::string& path) {
    if (IsExistingFolder(path)) {
        return path;
    }
    return std::string(FolderTextPart(path));
}

bool FolderHasMatch(const std::string& folder, const std::string& pattern) {
    std::vector<FolderEntry> entries;
    const Win32Error error = TheMachine().ListFolder(JoinPath(folder, pattern), entries);
    if (error == ERR_FILE_NOT_FOUND || error == ERR_PATH_NOT_FOUND) {
        return false;
    }
    return error != ERR_SUCCESS || !entries.empty();
}

bool CreateFolderPath(const std::string& path) {
    if (path.size() > MAX_PATH_LENGTH) {
        ShowError(MAKE_FOLDER_FAILED_MESSAGE, path.c_str(),
                  static_cast<int>(ERR_FILENAME_EXCED_RANGE));
        return false;
    }
    std::string accumulated;
    for (const std::string& component : SplitAtBackslashes(path)) {
        accumulated += component;
        accumulated += '\\';
        if (Exists(accumulated)) {
            continue;
        }
        const Win32Error error = TheMachine().MakeFolder(accumulated);
        if (error != ERR_SUCCESS) {
            ShowError(MAKE_FOLDER_FAILED_MESSAGE, accumulated.c_str(), static_cast<int>(error));
            return false;
        }
    }
    return true;
}

void RemoveFolder(const std::string& folder) {
    std::uint32_t attributes = 0;
    const Win32Error found = TheMachine().GetAttributes(folder, attributes);
    const bool missing = found == ERR_FILE_NOT_FOUND || found == ERR_PATH_NOT_FOUND;
    if (const char* refusal = RemovalRefusal(folder, missing)) {
        ShowError("Parvane will not remove the folder '%s': %s.", folder.c_str(), refusal);
        return;
    }
    if (missing) {
        return;
    }
    if (found == ERR_SUCCESS && IsLink(attributes)) {
        RemoveFolderItself(folder);  // the link; what it leads to is not ours
        return;
    }
    std::vector<FolderEntry> entries;
    const Win32Error listed = TheMachine().ListFolder(folder + "\\*.*", entries);
    if (listed == ERR_PATH_NOT_FOUND) {
        return;  // gone after all
    }
    if (listed != ERR_SUCCESS) {
        ShowError("Couldn't remove directory '%s', return code=%d", folder.c_str(),
                  static_cast<int>(listed));
        return;
    }
    bool filesLeft = false;
    for (const FolderEntry& entry : entries) {
        if (IsDotEntry(entry.name)) {
            continue;
        }
        const std::string file = JoinPath(folder, entry.name);
        const Win32Error error = RemoveEntry(file, entry.attributes);
        if (error != ERR_SUCCESS) {
            ShowError("Couldn't remove file '%s', return code=%d", file.c_str(),
                      static_cast<int>(error));
            filesLeft = true;
        }
    }
    if (filesLeft) {
        ShowInformation(
            "There are still files left in the folder '%s',\nYou must remove this folder "
            "manually.",
            folder.c_str());
        return;
    }
    RemoveFolderItself(folder);
}

}  // namespace parvane
