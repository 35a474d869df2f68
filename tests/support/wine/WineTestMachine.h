#pragma once

// The Wine-only face of TestMachine: the prefix behind it and the host paths of its files.

#include <filesystem>
#include <string>

#include "support/TestMachine.h"

namespace parvane::test {

// The prefix folder of the test machine.
std::filesystem::path PrefixFolder(TestMachine& machine);

// The host path of a Windows path of the test machine (missing names as spelled).
std::filesystem::path HostPathOf(TestMachine& machine, const std::string& windowsPath);

}  // namespace parvane::test
