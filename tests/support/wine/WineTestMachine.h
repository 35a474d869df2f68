#pragma once

#include <filesystem>
#include <string>

#include "support/TestMachine.h"

namespace parvane::test {

std::filesystem::path PrefixFolder(TestMachine& machine);

// Missing names as spelled.
std::filesystem::path HostPathOf(TestMachine& machine, const std::string& windowsPath);

}  // namespace parvane::test
