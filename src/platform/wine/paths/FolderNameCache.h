#pragma once

// The names in the host folders of a prefix, each folder in which a name is looked up read once
// and kept, so that a name looked up ignoring case, or a kept folder listed, does not read the
// folder again every time; a folder only listed is not kept. One cache serves the process, keyed
// by host folder path; it is not for use from two threads.
//
// A name found among the kept names is handed out as it is: the caller confirms the whole path
// with one lstat and, when that fails, forgets the folders along it and looks again. An answer
// that depends on every name of a folder (a name is missing, the listing) is given only when
// one stat shows the folder as it was read (same device, inode, modification and change
// times) and it was read at least two seconds after its last change, since a change within one
// tick of the file system's clock can leave the times as they were; otherwise the folder is
// read again. So changes made by other programs are seen. The backend's own changes drop the
// folders they touch (ForgetFolderOf), so that they are seen at once.

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace parvane::wine {

enum class NameSearch {
    Found,       // `hostName` holds the name as the folder spells it (UTF-8)
    Missing,     // the folder, as it is now, holds no such name
    Unreadable,  // the folder cannot be read; `error` holds the errno
};

// Looks `name` (code page 1252) up in the host folder `folder`: its exact spelling first, then
// the first name, in the order the host lists them, equal to it ignoring case as Windows
// compares names. A host name that code page 1252 cannot hold is never found.
NameSearch FindName(std::string_view folder, std::string_view name, std::string& hostName,
                    int& error);

// The names in `folder` as it is now (UTF-8, without "." and ".."), in the order the host lists
// them; 0 or the errno of the failure. `status`, when given, is a stat of the folder taken just
// now. `names` stays valid until the next call of a function of this file. A folder not kept
// already is not kept for its listing.
int ListNames(std::string_view folder, const struct stat* status,
              const std::vector<std::string>*& names);

// Drops what is kept about `path` and about the folder that holds it: called after every
// change the backend makes at `path` (a trailing separator is ignored).
void ForgetFolderOf(std::string_view path);

// Drops what is kept about every folder along `path`, `path` included, and every resolution.
void ForgetFoldersAlong(std::string_view path);

// Moves on whenever something kept is dropped or read again (the backend's own changes
// included): what was found through the kept names before may have changed.
std::uint64_t KeptNamesGeneration();

// A Windows folder found through the kept names: its host path and its names as the disk
// spells them (code page 1252), kept so that the next path in that folder needs the search of
// its last name only.
struct ResolvedFolder {
    std::string hostPath;
    std::vector<std::string> diskNames;
};

// The resolution kept under `key` (the caller's text for the folder as asked), while no kept
// folder has since been dropped or read again; otherwise null, valid until the next call of a
// function of this file.
const ResolvedFolder* FindResolvedFolder(std::string_view key);
void KeepResolvedFolder(std::string key, ResolvedFolder folder);

}  // namespace parvane::wine
