#pragma once

// Driving Wine's own tools from the interoperability tests, which run in the wine suite's
// throwaway prefix (WINEPREFIX), with `wine` on the path.

#include <filesystem>
#include <memory>
#include <string>

#include "platform/wine/WineMachine.h"

namespace parvane::test {

// The environment variable's value, empty when it is not set.
std::string Environment(const char* name);
// The argument quoted for the shell.
std::string Quoted(const std::string& argument);
// Runs a shell command; its output, with the status appended when it failed.
std::string RunCommand(const std::string& command);
// Stops the prefix's wineserver, which saves the registry as it ends, and waits until it has
// gone (quicker than waiting out its idle time).
void WaitForWineserver();
std::string ReadAll(const std::filesystem::path& path);
// The suite's prefix as the Wine backend opens it; null, failing the test, when it cannot.
std::unique_ptr<wine::WineMachine> OpenSuitePrefix();

}  // namespace parvane::test
