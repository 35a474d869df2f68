#pragma once

// processes/ of the Wine backend, above files/ beside registry/: the host's processes (here) and
// the documents opened with the desktop's program (DocumentLauncher).
//
// The running program and the other processes of the host, as Windows would name them.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Win32Codes.h"

namespace parvane::wine {

// GetModuleFileNameA: the program's own file (/proc/self/exe) as a Windows path of the prefix.
Win32Error ModulePath(const std::filesystem::path& prefix, std::string& path);

// The image name of a process from its command line (/proc/<pid>/cmdline): the last component
// of argv[0] after the last '\' or '/'. A Wine process's argv[0] is its Windows path. A host
// program's name without an extension gets ".exe", as Windows names every image, so that a
// second native copy of this program is seen as one.
std::string ImageNameFromCommandLine(std::string_view commandLine);

// The image names of the running processes that can touch `prefix`, in code page 1252 ('?'
// where it has no character): this program, and every process whose environment names the
// prefix (WINEPREFIX, or ~/.wine when it is unset), as Wine decides which prefix a process
// uses. A process whose environment cannot be read belongs to another user, and Wine runs no
// process in a prefix its user does not own.
Win32Error ProcessImageNames(const std::filesystem::path& prefix, std::vector<std::string>& names);

}  // namespace parvane::wine
