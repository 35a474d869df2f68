#pragma once

// A throwaway 64-bit Wine prefix reduced to what the program touches: drive_c with the user's
// folders, the c: and z: drive links, system.reg and user.reg.

#include <filesystem>
#include <optional>
#include <string>

namespace parvane::test {

// "" when it cannot be read; writing creates the folders.
std::string ReadHostFile(const std::filesystem::path& path);
void WriteHostFile(const std::filesystem::path& path, const std::string& text);

// Sets (or unsets) an environment variable until the end of the scope.
class ScopedVariable {
  public:
    ScopedVariable(std::string name, const std::optional<std::string>& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    std::string name;
    std::optional<std::string> saved;
};

class TestPrefix {
  public:
    TestPrefix();
    ~TestPrefix();
    TestPrefix(const TestPrefix&) = delete;
    TestPrefix& operator=(const TestPrefix&) = delete;

    const std::filesystem::path& Folder() const { return folder; }
    std::filesystem::path DriveC() const { return folder / "drive_c"; }

  private:
    std::filesystem::path folder;
};

}  // namespace parvane::test
