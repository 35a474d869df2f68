// The safety tests in front of every deletion of installed content: the content's folder must
// lie inside the game's install folder and hold no source files of the game's editors, and every
// path about to be deleted must lie inside its root without passing through a link.

#include "archive/RemovableLocation.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "archive/Folders.h"
#include "base/GameFolders.h"
#include "base/PathText.h"
#include "platform/AsciiCase.h"
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

// IsPathUnder with the parent's long path name already expanded.
bool IsUnderLongParent(const std::string& expandedParent, const std::string& path) {
    const std::string expandedPath = ExpandedPath(path);
    const std::string_view longParent = WithoutTrailingSeparators(expandedParent);
    const std::string_view longPath = WithoutTrailingSeparators(expandedPath);
    // The parent must end where a component of the path ends: "C:\Games\Golf Old" is a
    // sibling of "C:\Games\Golf". The parent itself is not under itself: removing content
    // found there would empty the game's own folder.
    return longPath.size() > longParent.size() && StartsWithNoCase(longPath, longParent) &&
           IsPathSeparator(longPath[longParent.size()]) && !HasDotComponent(longPath);
}

bool IsRemovableFolder(const std::string& longInstallFolder, const std::string& folder) {
    return IsUnderLongParent(longInstallFolder, folder) && !FolderHasMatch(folder, "*.tca") &&
           !FolderHasMatch(folder, "*.tlb");
}

// IsRemovableLocation with the file's folder part (GetFolderPart) already taken.
bool IsRemovableFolderOf(std::string_view folder, RemovableFolderMemo* memo) {
    // The memo holds answers once the install folder is known, which it then stays for the run.
    if (memo != nullptr && memo->longInstallFolder) {
        if (memo->lastKnown && memo->lastFolder == folder) {
            return memo->lastRemovable;
        }
        if (const auto known = memo->folders.find(folder); known != memo->folders.end()) {
            memo->lastFolder = known->first;
            memo->lastRemovable = known->second;
            memo->lastKnown = true;
            return known->second;
        }
    }
    const std::string installFolder = GetGameInstallDir();
    if (installFolder.empty()) {
        return false;
    }
    if (memo == nullptr) {
        return IsRemovableFolder(ExpandedPath(installFolder), std::string(folder));
    }
    ExpandInstallFolder(*memo);
    const auto [known, added] = memo->folders.try_emplace(std::string(folder), false);
    if (added) {
        known->second = IsRemovableFolder(*memo->longInstallFolder, known->first);
    }
    return known->second;
}

}  // namespace

void ExpandInstallFolder(RemovableFolderMemo& memo) {
    const std::string installFolder = GetGameInstallDir();
    if (!memo.longInstallFolder && !installFolder.empty()) {
        memo.longInstallFolder = ExpandedPath(installFolder);
    }
}

bool IsPathUnder(const std::string& parent, const std::string& path) {
    return IsUnderLongParent(ExpandedPath(parent), path);
}

bool IsRemovableLocation(const std::string& file, RemovableFolderMemo* memo) {
    // The folder part is cut at the last '/', so a dot component behind it could still lead
    // the file itself out of that folder.
    return !HasDotComponent(file) && IsRemovableFolderOf(GetFolderPart(file), memo);
}

std::string_view RemovableFolderOf(const std::string& file, std::uint32_t attributes) {
    const bool isFolder = attributes != ATTR_INVALID && (attributes & ATTR_DIRECTORY) != 0;
    return isFolder ? std::string_view(file) : FolderTextPart(file);
}

bool IsRemovableLocation(const std::string& file, std::uint32_t attributes,
                         RemovableFolderMemo* memo) {
    const std::string_view folder = RemovableFolderOf(file, attributes);
    // Only the rest of the path needs looking at after the folder asked about last.
    const bool folderChecked = memo != nullptr && memo->lastKnown && memo->lastFolder == folder;
    return !HasDotComponent(std::string_view(file).substr(folderChecked ? folder.size() : 0)) &&
           IsRemovableFolderOf(folder, memo);
}

bool IsDeletablePathInside(const std::string& root, const std::string& path) {
    const std::string_view trimmed = WithoutTrailingSeparators(path);
    if (root.empty() || HasDotComponent(trimmed)) {
        return false;
    }
    const std::size_t cut = trimmed.find_last_of("\\/");
    if (cut == std::string_view::npos) {
        return false;
    }
    // The folder must exist; the last name need not (a companion file may be missing).
    const std::string expandedRoot = ExpandedPath(root);
    const std::string expandedFolder = ExpandedPath(std::string(trimmed.substr(0, cut)));
    const std::string_view longRoot = WithoutTrailingSeparators(expandedRoot);
    const std::string_view longFolder = WithoutTrailingSeparators(expandedFolder);
    if (longRoot.empty() || longFolder.size() < longRoot.size() ||
        !StartsWithNoCase(longFolder, longRoot) ||
        (longFolder.size() > longRoot.size() && !IsPathSeparator(longFolder[longRoot.size()]))) {
        return false;
    }
    // A link below the root could lead anywhere; the last name may be one (deleting a link
    // deletes the link itself).
    for (std::size_t end = longRoot.size(); end < longFolder.size();) {
        end = longFolder.find_first_of("\\/", end + 1);
        if (end == std::string_view::npos) {
            end = longFolder.size();
        }
        std::uint32_t attributes = 0;
        if (TheMachine().GetAttributes(std::string(longFolder.substr(0, end)), attributes) !=
                ERR_SUCCESS ||
            (attributes & ATTR_REPARSE_POINT) != 0) {
            return false;
        }
    }
    return true;
}

bool IsSharedContentRoot(const std::string& folder) {
    const std::string game = GetGameInstallDir();
    const std::string personalFolder = GetPersonalFolder();
    std::vector<std::string> roots;
    if (!game.empty()) {
        roots = {game, game + "\\courses", game + "\\libraries"};
    }
    if (!personalFolder.empty()) {
        roots.push_back(JoinPath(personalFolder, COURSE_NOTES_FOLDER));
    }
    const auto longForm = [](const std::string& path) {
        const std::string expanded = ExpandedPath(NormalizeFolderText(path));
        return expanded.empty() ? NormalizeFolderText(path) : expanded;
    };
    const std::string longFolder = longForm(folder);
    return std::any_of(roots.begin(), roots.end(), [&](const std::string& root) {
        return EqualsNoCase(WithoutTrailingSeparators(longForm(root)),
                            WithoutTrailingSeparators(longFolder));
    });
}

bool IsDeletableContentPath(const std::string& path) {
    return IsDeletablePathInside(GetGameInstallDir(), path);
}

bool IsDeletableCaddyBookPath(const std::string& path) {
    const std::string personalFolder = GetPersonalFolder();
    return !personalFolder.empty() &&
           IsDeletablePathInside(JoinPath(personalFolder, COURSE_NOTES_FOLDER), path);
}

}  // namespace parvane
