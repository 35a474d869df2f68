#pragma once

// Driving Wine's own tools from the interoperability tests.

#include <filesystem>
#include <string>

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

}  // namespace parvane::test
