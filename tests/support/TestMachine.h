#pragma once

// A throwaway machine for one test: on Linux a fresh Wine prefix, on Windows the real registry
// and a scratch folder. While it lives, TheMachine() is its machine and the program's state
// folder is the scratch folder's "State". Setup failures throw.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Machine.h"

namespace parvane::test {

inline constexpr const char* GAME_KEY = "Software\\Quorlix\\Greenvale 06";
inline constexpr const char* CLOAK_KEY = "Software\\Hydrel06";
inline constexpr const char* SHELL_FOLDERS_KEY =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

inline constexpr const char* GAME_INSTALL_DIR = "C:\\Program Files (x86)\\Quorlix\\Greenvale 06";

struct TestMachineOptions {
    // HKLM\<GAME_KEY> with "Install Dir", empty "Courses" and "Libraries", and the folder.
    bool gameInstalled = true;
    // HKLM\<CLOAK_KEY> with empty "Courses" and "Libraries".
    bool cloakingTool = false;
};

// What a backend supplies, in tests/support/<backend>/: a machine for one test, cleaned up
// afterwards, and (as the TestMachine members of the same names) what the seam cannot do.
class TestBackend {
  public:
    virtual ~TestBackend() = default;
    virtual Machine& GetMachine() = 0;
    virtual std::string ScratchFolder() const = 0;
    virtual void SetReadOnly(const std::string& path, bool readOnly) = 0;
    virtual void MakeFolderLink(const std::string& link, const std::string& target) = 0;
    virtual void SetModifiedTime(const std::string& path, std::uint64_t fileTime) = 0;
    virtual void SetCurrentFolder(const std::string& folder) = 0;
    virtual std::string ShortPath(const std::string& path) = 0;
    virtual std::unique_ptr<Machine> Reopened() = 0;
};

std::unique_ptr<TestBackend> CreateTestBackend(const TestMachineOptions& options);

class TestMachine {
  public:
    explicit TestMachine(const TestMachineOptions& options = {});
    ~TestMachine();
    TestMachine(const TestMachine&) = delete;
    TestMachine& operator=(const TestMachine&) = delete;

    Machine& GetMachine() { return backend->GetMachine(); }
    TestBackend& Backend() { return *backend; }
    // The registry and files as the program's next run finds them (read from disk again).
    std::unique_ptr<Machine> Reopened() { return backend->Reopened(); }

    // Windows paths without a trailing backslash; the scratch folder starts empty.
    std::string GameInstallDir() const { return GAME_INSTALL_DIR; }
    std::string ScratchFolder() const { return backend->ScratchFolder(); }

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
    // What the seam itself cannot do: the read-only attribute, a link to a folder, the time of
    // a file's last write (FILETIME ticks).
    void SetReadOnly(const std::string& path, bool readOnly) {
        backend->SetReadOnly(path, readOnly);
    }
    void MakeFolderLink(const std::string& link, const std::string& target) {
        backend->MakeFolderLink(link, target);
    }
    // The process's current folder, back to the one before when the machine goes; the 8.3
    // form of an existing path where the file system gives one (Wine prefixes give none).
    void SetCurrentFolder(const std::string& folder) { backend->SetCurrentFolder(folder); }
    std::string ShortPath(const std::string& path) { return backend->ShortPath(path); }
    void SetModifiedTime(const std::string& path, std::uint64_t fileTime) {
        backend->SetModifiedTime(path, fileTime);
    }

  private:
    std::unique_ptr<TestBackend> backend;
};

// The registry files as bytes (the Wine prefix's system.reg and user.reg); empty on Windows,
// where the registry is no file a test can read.
std::string RegistryFileBytes(TestMachine& machine);

// The paths of the files below `folder`, relative to it and sorted; none when it is missing.
std::vector<std::string> FilesBelow(const std::string& folder);

}  // namespace parvane::test
