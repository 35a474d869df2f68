#pragma once

// A throwaway machine for one test, the same on every backend: on Linux a fresh Wine prefix,
// on Windows the real registry and a scratch folder. While it lives, TheMachine() is its
// machine (one test machine at a time: the destructor leaves no machine set); it installs no
// user interface. Setup failures throw std::runtime_error, which GoogleTest reports as the
// test's failure.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Machine.h"

namespace parvane::test {

inline constexpr const char* GAME_KEY = "Software\\Quorlix\\Greenvale 06";
inline constexpr const char* CLOAK_KEY = "Software\\Hydrel06";
inline constexpr const char* SHELL_FOLDERS_KEY =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct TestMachineOptions {
    // The game registered: HKLM\<GAME_KEY> with "Install Dir" and empty "Courses" and
    // "Libraries" subkeys, and its folder created.
    bool gameInstalled = true;
    // The game's folder (Windows path); empty for the backend's usual place.
    std::string gameInstallDir = {};
    // The cloaking tool registered: HKLM\<CLOAK_KEY> with empty "Courses" and "Libraries".
    bool cloakingTool = false;
};

class TestBackend;

class TestMachine {
  public:
    explicit TestMachine(const TestMachineOptions& options = {});
    ~TestMachine();
    TestMachine(const TestMachine&) = delete;
    TestMachine& operator=(const TestMachine&) = delete;

    Machine& GetMachine();
    TestBackend& Backend() { return *backend; }
    // A second machine over the same registry and files, as the program's next run finds them:
    // the Wine backend reads the prefix's registry files from the disk again. It changes nothing.
    std::unique_ptr<Machine> Reopened();

    // The game's folder (Windows path, no trailing backslash), also when it is not installed.
    const std::string& GameInstallDir() const { return gameInstallDir; }
    // An empty folder for the test's own files (Windows path, no trailing backslash).
    std::string ScratchFolder() const;

    // Registry, through TheMachine(). Keys are created with their parents.
    void CreateKey(Hive hive, const std::string& subKey);
    void SetString(Hive hive, const std::string& subKey, const std::string& name,
                   const std::string& value);
    void SetDword(Hive hive, const std::string& subKey, const std::string& name,
                  std::uint32_t value);
    bool KeyExists(Hive hive, const std::string& subKey);
    // The string value, or false when the key or value is missing or not a string.
    bool QueryString(Hive hive, const std::string& subKey, const std::string& name,
                     std::string& value);

    // Files, through TheMachine(). Missing folders along the path are created.
    void MakeFolders(const std::string& folder);
    void WriteFile(const std::string& path, const std::string& contents);
    std::string ReadFile(const std::string& path);
    bool FileExists(const std::string& path);
    bool FolderExists(const std::string& path);
    // The read-only attribute, which the seam itself never sets.
    void SetReadOnly(const std::string& path, bool readOnly);
    // A symbolic link at `link` to the folder `target`, which the seam cannot make.
    void MakeFolderLink(const std::string& link, const std::string& target);

  private:
    void RegisterGame();
    void RegisterCloakingTool();

    std::unique_ptr<TestBackend> backend;
    std::string gameInstallDir = {};
};

// Deletes HKEY_<hive>\<subKey> with all its subkeys through `machine`; absent is fine.
void DeleteKeyTree(Machine& machine, Hive hive, const std::string& subKey);

}  // namespace parvane::test
