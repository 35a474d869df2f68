// Folder operations over the machine: the folder part of a path, wildcard tests, creation of a
// whole folder path and removal of one folder with its files.

#include "archive/Folders.h"

#include <cstdint>
#include <vector>

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

}  // namespace

std::string GetFolderPart(const std::string& path) {
    if (IsExistingFolder(path)) {
        return path;
    }
    return std::string(FolderTextPart(path));
}

bool FolderHasMatch(const std::string& folder, const std::string& pattern) {
    std::vector<FolderEntry> entries;
    const Win32Error error = TheMachine().ListFolder(folder + "\\" + pattern, entries);
    if (error == ERR_FILE_NOT_FOUND || error == ERR_PATH_NOT_FOUND) {
        return false;
    }
    return error != ERR_SUCCESS || !entries.empty();
}

bool CreateFolderPath(const std::string& path) {
    if (path.size() > MAX_PATH_LENGTH) {
        ShowError("Couldn't create folder %s, return code=%d", path.c_str(),
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
            ShowError("Couldn't create folder %s, return code=%d", accumulated.c_str(),
                      static_cast<int>(error));
            return false;
        }
    }
    return true;
}

void RemoveFolder(const std::string& folder) {
    std::vector<FolderEntry> entries;
    if (TheMachine().ListFolder(folder + "\\*.*", entries) != ERR_SUCCESS) {
        return;
    }
    bool filesLeft = false;
    for (const FolderEntry& entry : entries) {
        if (IsDotEntry(entry.name)) {
            continue;
        }
        const std::string file = folder + "\\" + entry.name;
        const Win32Error error = TheMachine().RemoveFile(file);
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
    const Win32Error error = TheMachine().RemoveEmptyFolder(folder);
    if (error != ERR_SUCCESS) {
        ShowError("Couldn't remove directory '%s', return code=%d", folder.c_str(),
                  static_cast<int>(error));
    }
}

}  // namespace parvane
