#pragma once

// The steps that course and library removal share: the safety gate, the confirmation, the
// count of what else is installed in a folder, and the deletion of single files with the
// account of what was kept.

#include <string>
#include <string_view>
#include <vector>

namespace parvane {

// The record says its folder may be deleted, and the live test agrees now: inside the game's
// folder, no source files of the game's editors beside it.
bool IsStillRemovable(bool removable, const std::string& filename);

// "Are you sure you want to uninstall ...", No the default; true for Yes.
bool ConfirmUninstall(const std::string& name, const std::string& folder);

struct FolderSharing {
    int courses = 0;
    int libraries = 0;
};

// The installed and cloaked courses and libraries whose file's folder (GetFolderPart) is
// `folder` in any spelling (letter case, doubled or forward separators, short names), except the
// entries whose GUID text is `excludedCourse` or `excludedLibrary` (compared exactly; empty
// excludes nothing).
FolderSharing CountContentInFolder(const std::string& folder, std::string_view excludedCourse,
                                   std::string_view excludedLibrary);

// Why a folder that holds everyone's content (IsSharedContentRoot) stays.
std::string SharedContentRootMessage(const std::string& folder);

// What a removal did not delete, one line per existing file: outside the folders it may
// delete in, or refused by the system.
using KeptFiles = std::vector<std::string>;

// Deletes the file `path` when it passes the deletion check for content (or for caddy books);
// an empty path, a missing file and a folder are passed over. Anything else that stays is
// added to `kept`.
void DeleteContentFile(const std::string& path, KeptFiles& kept);
void DeleteCaddyBook(const std::string& path, KeptFiles& kept);

// The Information box that closes a removal: `folderMessage`, then the kept files; nothing
// when both are empty.
void ShowClosingInformation(const std::string& folderMessage, const KeptFiles& kept);

}  // namespace parvane
