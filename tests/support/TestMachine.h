#pragma once

// A throwaway machine for one test: on Linux a fresh Wine prefix, on Windows the real registry
// and a scratch folder. While it lives, TheMachine() is its machine. Setup failures throw.

#include <memory>
#include <string>

#include "platform/Machine.h"

namespace parvane::test {

inline constexpr const char* GAME_KEY = "Software\\Quorlix\\Greenvale 06";
inline constexpr const char* CLOAK_KEY = "Software\\Hydrel06";
inline constexpr const char* SHELL_FOLDERS_KEY =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct TestMachineOptions {
    // HKLM\<GAME_KEY> with "Install Dir", empty "Courses" and "Libraries", and the folder.
    bool gameInstalled = true;
    std::string gameInstallDir = {};  // empty: the backend's usual place
    // HKLM\<CLOAK_KEY> with empty "Courses" and "Libraries".
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
    // The registry and files as the program's next run finds them (read from disk again).
    std::unique_ptr<Machine> Reopened();

    // Windows paths without a trailing backslash; the scratch folder starts empty.
    const std::string& GameInstallDir() const { return gameInstallDir; }
    std::string ScratchFolder() const;

    // Through TheMachine(); keys and files are created with their parents.
    void CreateKey(Hive hive, const std::string& subKey);
    void SetString(Hive hive, const std::string& subKey, const std::string& name,
                   const std::string& value);
    bool KeyExists(Hive hive, const std::string& subKey);
    // False when the key or value is missing or not a string.
    bool QueryString(Hive hive, const std::string& subKey, const std::string& name,
                     std::string& value);
    void MakeFolders(const std::string& folder);
    void WriteFile(const std::string& path, const std::string& contents);
    std::string ReadFile(const std::string& path);
    bool FileExists(const std::string& path);
    bool FolderExists(const std::string& path);
    // What the seam itself cannot do: the read-only attribute, a link to a folder.
    void SetReadOnly(const std::string& path, bool readOnly);
    void MakeFolderLink(const std::string& link, const std::string& target);

  private:
    void RegisterGame();
    void RegisterCloakingTool();

    std::unique_ptr<TestBackend> backend;
    std::string gameInstallDir = {};
};

// Deletes the key with all its subkeys; absent is fine.
void DeleteKeyTree(Machine& machine, Hive hive, const std::string& subKey);

}  // namespace parvane::test
