// The safety test in front of every deletion of installed content: the content's folder must
// lie inside the game's install folder and hold no source files of the game's editors.

#include <string_view>

#include "archive/Folders.h"
#include "base/AsciiCase.h"
#include "base/GameFolders.h"
#include "base/PathText.h"
#include "platform/Machine.h"

namespace parvane {

namespace {

// The long path name, or nothing when the path cannot be expanded or the result would not fit
// the 255 characters the program stores.
std::string ExpandedPath(const std::string& path) {
    std::string longPath;
    if (TheMachine().LongPathName(path, longPath) != ERR_SUCCESS ||
        longPath.size() > MAX_PATH_LENGTH) {
        return {};
    }
    return longPath;
}

std::string_view WithoutTrailingSeparators(std::string_view path) {
    while (!path.empty() && IsPathSeparator(path.back())) {
        path.remove_suffix(1);
    }
    return path;
}

bool IsRemovableFolder(const std::string& installFolder, const std::string& folder) {
    return IsPathUnder(installFolder, folder) && !FolderHasMatch(folder, "*.tca") &&
           !FolderHasMatch(folder, "*.tlb");
}

}  // namespace

bool IsPathUnder(const std::string& parent, const std::string& path) {
    const std::string expandedParent = ExpandedPath(parent);
    const std::string expandedPath = ExpandedPath(path);
    const std::string_view longParent = WithoutTrailingSeparators(expandedParent);
    const std::string_view longPath = WithoutTrailingSeparators(expandedPath);
    // The parent must end where a component of the path ends: "C:\Games\Golf Old" is a
    // sibling of "C:\Games\Golf". The parent itself is not under itself: removing content
    // found there would empty the game's own folder.
    return longPath.size() > longParent.size() && StartsWithNoCase(longPath, longParent) &&
           IsPathSeparator(longPath[longParent.size()]) && !HasDotComponent(longPath);
}

bool IsRemovableLocation(const std::string& file, RemovableFolderMemo* memo) {
    const std::string folder = GetFolderPart(file);
    const std::string installFolder = GetGameInstallDir();
    if (installFolder.empty()) {
        return false;
    }
    if (memo == nullptr) {
        return IsRemovableFolder(installFolder, folder);
    }
    const auto [known, added] = memo->try_emplace(folder, false);
    if (added) {
        known->second = IsRemovableFolder(installFolder, folder);
    }
    return known->second;
}

}  // namespace parvane
