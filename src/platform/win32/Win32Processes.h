#pragma once

// The program's own path, the running processes and launching a command, over kernel32.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Win32Codes.h"

namespace parvane::win32 {

Win32Error ModulePath(std::string& path);
Win32Error ProcessImageNames(std::vector<std::string>& names);
std::uint32_t RunCommand(const std::string& commandLine);

}  // namespace parvane::win32
