#pragma once

// Whether a wineserver serves a prefix. While one runs it holds the prefix's registry in
// memory and writes it back over the files, so this program must not change them then.

#include <filesystem>
#include <string>
#include <vector>

namespace parvane::wine {

// The folders where a wineserver for `prefix` would keep its socket and lock file:
// server-<device>-<inode> of the prefix folder (in hexadecimal) inside /tmp/.wine-<uid>
// (upstream Wine) and inside the wine-XXXXXX folder of /tmp and of $TMPDIR that the prefix's
// file "wineserver" names (Debian's Wine); inside every such folder when it names none.
std::vector<std::filesystem::path> WineserverFolders(const std::filesystem::path& prefix);

// True when a wineserver serves `prefix`: it holds a write lock on the first byte of the lock
// file in its folder. `pid` is then the server's process id.
bool FindRunningWineserver(const std::filesystem::path& prefix, int& pid);

// True when a wineserver serves `prefix`, with the message that refuses to work on it.
bool IsServedByWineserver(const std::filesystem::path& prefix, std::string& message);

}  // namespace parvane::wine
