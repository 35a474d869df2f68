#pragma once

// Folder operations over the machine: the folder part of a path, wildcard tests, folder
// creation and removal, the temporary extraction folder, and the safety test in front of every
// deletion of installed content. Paths are passed on whole, except where noted.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

namespace parvane {

// True when "folder\pattern" matches anything, file or folder. Both callers use it to forbid a
// deletion, so a search that fails for any reason but "no match" or "no such folder" (access
// denied, a path too long) counts as a match.
bool FolderHasMatch(const std::string& folder, const std::string& pattern);

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
    std::unordered_map<std::string, bool> folders;
    // The long path name of the game's install folder, expanded once.
    std::optional<std::string> longInstallFolder;
};

// The file's folder lies under the game's install folder and holds no *.tca and no *.tlb; the
// file's path has no dot component. With a memo, a folder found in it is not examined again:
// the memo must not outlive the moment in which the folders are taken to stay as they are (one
// load).
bool IsRemovableLocation(const std::string& file, RemovableFolderMemo* memo = nullptr);
// The same for a file whose attributes the caller has just taken (ATTR_INVALID when it could
// not), so that the machine is not asked for them again.
bool IsRemovableLocation(const std::string& file, std::uint32_t attributes,
                         RemovableFolderMemo* memo);

// The check in front of every single deletion: `path` lies strictly inside `root` (long path
// names, ending at a separator), has no dot component, and no folder between the root and its
// last name is a link (a link there could lead anywhere). The folder of `path` must exist; its
// last name need not, and may itself be a link, which deleting removes.
bool IsDeletablePathInside(const std::string& root, const std::string& path);
// The same inside the game's install folder (false while that is unknown), and inside the
// caddy books' folder of the user's personal folder.
bool IsDeletableContentPath(const std::string& path);
bool IsDeletableCaddyBookPath(const std::string& path);

// The per-run folder into which packages are unpacked; fixed at the first call, not created
// here. When the system gives no temporary folder or unique name, it shows the Error and ends
// the process with status 1 through the process-end handler.
std::string GetTempExtractionFolder();

// What GetTempExtractionFolder calls to end the process (std::exit by default). Tests replace
// it to watch the exit happen; when a replacement returns, GetTempExtractionFolder returns an
// empty path and keeps nothing. Null restores the default.
using ProcessEndHandler = void (*)(int status);
void SetProcessEndHandler(ProcessEndHandler handler);
// Forgets the stored folder, so that the next call picks a new one, as a new run would.
void ForgetTempExtractionFolder();

// Makes a new, empty folder under a unique name in the system's temporary folder and counts it
// among the program's own for the run. Empty after an Error box when none can be made.
std::string MakeOwnTemporaryFolder();
// Removes the folders named like the program's own temporary folders (PRV, one to four hex
// digits, .tmp) in the system's temporary folder that this run did not make, with their files:
// an earlier run that was killed left them. Only for a caller that knows no other copy of the
// program runs on this machine now. Returns how many bytes their files held.
std::uint64_t RemoveLeftoverTemporaryFolders();
// True for the temporary extraction folder (once chosen) and the folders MakeOwnTemporaryFolder
// made; the texts are compared ignoring case and trailing separators.
bool IsOwnTemporaryFolder(const std::string& folder);

// The path itself when it names an existing folder; otherwise cut at the last '/', else at
// the last '\', else the whole path.
std::string GetFolderPart(const std::string& path);

// Deletes the files of one folder (not its subfolders), then the folder. Shows an Error for
// every file it cannot delete and then an Information, or an Error when the folder stays.
// Only a folder inside the game's install folder (IsDeletableContentPath) or one of the
// program's own temporary folders is touched; any other, and an empty path, a drive root or a
// path with a dot component, is refused with an Error and nothing is removed. Links are never
// followed: a folder that is a link, and a link inside it, are removed themselves.
void RemoveFolder(const std::string& folder);
// Creates every missing folder along a path of backslash-separated components; shows an Error
// and returns false at the first folder it cannot create (those created before it stay). A
// path over 255 characters is refused before anything is created, with the error number
// Windows gives for it (206).
bool CreateFolderPath(const std::string& path);

}  // namespace parvane
