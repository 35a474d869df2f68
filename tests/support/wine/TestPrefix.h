#pragma once

// A throwaway Wine prefix on disk, as wineboot leaves one, reduced to what the program touches:
// drive_c with the user's folders, dosdevices with c: -> ../drive_c and z: -> /, and
// system.reg and user.reg in Wine's format for a 64-bit prefix (the user's Shell Folders and
// Environment, the .htm class). Removed again at the end, without following the drive links.

#include <filesystem>
#include <optional>
#include <string>

namespace parvane::test {

// A host file's bytes ("" when it cannot be read); writing one creates its folders.
std::string ReadHostFile(const std::filesystem::path& path);
void WriteHostFile(const std::filesystem::path& path, const std::string& text);

// Sets (or, given nullopt, unsets) an environment variable until the end of the scope.
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
