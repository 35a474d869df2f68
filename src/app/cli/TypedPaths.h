#pragma once

// Paths a Linux user gives the terminal program, on its command line or at a prompt, as the
// Windows paths of the prefix that the program works with (in the program's code page).

#include <filesystem>
#include <string>
#include <string_view>

namespace parvane::cli {

// A drive letter and a colon: "C:\games\a.zip", "z:/tmp". Anything else is a host path.
bool IsWindowsPathText(std::string_view text);
// A drive letter, a colon and a separator: "C:\games", "c:/".
bool IsFullWindowsPathText(std::string_view text);
// A path that names one place whatever the current folder: a full Windows path, or a host path
// from the root ("/srv") or the home folder ("~", "~/Games").
bool IsFullPathText(std::string_view text);

// A Windows path as it stands, in code page 1252 (typed text is UTF-8); a host path
// ("~/Downloads/a.zip", relative to the current folder) as the Windows path of the deepest drive
// folder of `prefix` that holds it, as `winepath -w` gives it. False with a message when no
// drive of the prefix holds the host path or one of its names does not fit code page 1252.
bool ToWindowsPath(const std::filesystem::path& prefix, const std::string& typed,
                   std::string& windowsPath, std::string& message);

}  // namespace parvane::cli
