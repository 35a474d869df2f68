#include "interop/WineCommands.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

namespace parvane::test {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : value;
}

std::string Quoted(const std::string& argument) {
    std::string quoted = "'";
    for (char c : argument) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string RunCommand(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    if (!pipe) {
        return "cannot run " + command;
    }
    std::string output;
    char buffer[4096];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe.get())) {
        output.append(buffer, got);
    }
    const int status = pclose(pipe.release());
    return status == 0 ? output : output + "\n[exit status " + std::to_string(status) + "]";
}

void WaitForWineserver() {
    RunCommand("wineserver -k; wineserver -w");
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::unique_ptr<wine::WineMachine> OpenSuitePrefix() {
    const std::filesystem::path prefix = Environment("WINEPREFIX");
    EXPECT_TRUE(!prefix.empty() && std::filesystem::exists(prefix / "system.reg"))
        << "WINEPREFIX names no prefix: " << prefix;
    std::string message;
    std::unique_ptr<wine::WineMachine> machine = wine::OpenWineMachine(prefix, message);
    EXPECT_NE(machine, nullptr) << message;
    return machine;
}

}  // namespace parvane::test
