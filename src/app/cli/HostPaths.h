#pragma once

// The paths of a Wine prefix as a Linux player finds them on this system.

#include <filesystem>
#include <string>

namespace parvane::cli {

// The host path of a Windows path of the prefix, through no drive link, with the home folder
// as "~"; empty when no drive of the prefix holds it.
std::string HostPathOf(const std::filesystem::path& prefix, const std::string& windowsPath);

}  // namespace parvane::cli
