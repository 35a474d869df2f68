#pragma once

// The safety tests in front of every deletion of installed content: what lies inside the game's
// folder (by long path names), through no link and with no dot component, and which folders
// hold everyone's content and are never removed with an entry.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/TextHash.h"

namespace parvane {

// True when the long path name of `path` lies inside the long path name of `parent`: the
// parent must end at a separator of the path, so "C:\Games\Golf Old" is not under
// "C:\Games\Golf", and the parent itself is not under itself (content found directly in the
// game's folder must not lead to emptying it). Trailing separators do not count. False when
// either cannot be expanded (a missing path, a long path name over 255 characters) and when
// the path has a "." or ".." component, which could lead out again.
bool IsPathUnder(const std::string& parent, const std::string& path);

// What IsRemovableLocation found for each folder (as spelled) during one catalogue load, so
// that a folder holding many entries is examined once. Folders are told apart by their exact
// text, because on a host that tells case apart two spellings can name two folders.
struct RemovableFolderMemo {
    // Found by a view of a record's path, without a copy of its folder part.
    TextMap<bool> folders;
    // The folder asked about last and its answer: files of one folder mostly come together. Its
    // text has no dot component, as a folder is asked about only for a path that has none.
    std::string lastFolder;
    bool lastRemovable = false;
    bool lastKnown = false;
    // The long path name of the game's install folder, expanded once.
    std::optional<std::string> longInstallFolder;
};

// Expands the game's install folder into the memo now, when it is known, so that an answer the
// memo holds needs no call to the machine.
void ExpandInstallFolder(RemovableFolderMemo& memo);

// The file's folder lies under the game's install folder and holds no *.tca and no *.tlb; the
// file's path has no dot component. With a memo, a folder found in it is not examined again:
// the memo must not outlive the moment in which the folders are taken to stay as they are (one
// load).
bool IsRemovableLocation(const std::string& file, RemovableFolderMemo* memo = nullptr);
// The same for a file whose attributes the caller has just taken (ATTR_INVALID when it could
// not), so that the machine is not asked for them again.
bool IsRemovableLocation(const std::string& file, std::uint32_t attributes,
                         RemovableFolderMemo* memo);

// The folder IsRemovableLocation examines for a file with these attributes: the path itself
// when it is a folder, else the folder part of its text (a view into `file`).
std::string_view RemovableFolderOf(const std::string& file, std::uint32_t attributes);

// The check in front of every single deletion: `path` lies strictly inside `root` (long path
// names, ending at a separator), has no dot component, and no folder between the root and its
// last name is a link (a link there could lead anywhere). The folder of `path` must exist; its
// last name need not, and may itself be a link, which deleting removes.
bool IsDeletablePathInside(const std::string& root, const std::string& path);
// The same inside the game's install folder (false while that is unknown), and inside the
// caddy books' folder of the user's personal folder.
bool IsDeletableContentPath(const std::string& path);
bool IsDeletableCaddyBookPath(const std::string& path);

// The folders that hold everyone's content: the game's install folder, its courses and
// libraries folders, and the caddy books' folder. An entry whose file lies directly in one
// never takes it with it. Compared by long path names, ignoring case and trailing separators.
bool IsSharedContentRoot(const std::string& folder);

}  // namespace parvane
