// The real registry and files of a throwaway machine (the wine suite's prefix): each test starts
// without the game's and cloaking tool's keys, and what it creates is removed at its end.

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/Win32Machine.h"
#include "platform/win32/WindowsApi.h"
#include "support/TestMachine.h"

namespace parvane::test {

namespace {

constexpr const char* THROWAWAY_VARIABLE = "PARVANE_THROWAWAY_MACHINE";

void RequireThrowawayMachine() {
    const char* value = std::getenv(THROWAWAY_VARIABLE);
    if (value == nullptr || std::string(value) != "1") {
        throw std::runtime_error(
            std::string("These tests delete and rewrite the game's registry keys; run them on a "
                        "throwaway machine (a fresh Wine prefix) with ") +
            THROWAWAY_VARIABLE + "=1");
    }
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Read-only or not; never follows a link out of it.
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            const bool isLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            if (isFolder && !isLink) {
                RemoveTree(path);
            } else if (isFolder) {
                RemoveDirectoryA(path.c_str());
            } else {
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(folder.c_str());
}

std::string NewScratchFolder() {
    char temp[MAX_PATH + 1] = {};
    if (GetTempPathA(sizeof temp, temp) == 0) {
        throw std::runtime_error("Test machine: no temporary folder");
    }
    static unsigned serial = 0;
    for (;;) {
        const std::string folder = std::string(temp) + "parvane-test-" +
                                   std::to_string(GetCurrentProcessId()) + "-" +
                                   std::to_string(++serial);
        if (CreateDirectoryA(folder.c_str(), nullptr)) {
            return folder;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            throw std::runtime_error("Test machine: cannot create " + folder);
        }
    }
}

// Deletes the key with all its subkeys; absent is fine.
void DeleteKeyTree(Machine& machine, Hive hive, const std::string& subKey) {
    KeyHandle key = 0;
    if (machine.OpenKey(hive, subKey, key) != ERR_SUCCESS) {
        return;
    }
    std::vector<std::string> names;
    std::string name;
    while (machine.EnumKey(key, static_cast<std::uint32_t>(names.size()), 256, name) ==
           ERR_SUCCESS) {
        names.push_back(name);
    }
    machine.CloseKey(key);
    for (const std::string& child : names) {
        DeleteKeyTree(machine, hive, subKey + "\\" + child);
    }
    machine.DeleteKey(hive, subKey);
}

// A value that tests change outside the game's and the cloaking tool's keys, which every test
// starts without: put back as it was when the test ends.
struct SharedValue {
    Hive hive;
    std::string key;
    std::string name;
    Win32Error found = ERR_FILE_NOT_FOUND;
    std::uint32_t type = 0;
    std::string data = {};
};

std::vector<SharedValue> SaveSharedValues(Machine& machine) {
    std::vector<SharedValue> values = {{Hive::CurrentUser, SHELL_FOLDERS_KEY, "Personal"},
                                       {Hive::ClassesRoot, ".htm", ""},
                                       {Hive::ClassesRoot, "htmlfile\\Shell\\Open\\Command", ""}};
    for (SharedValue& value : values) {
        KeyHandle key = 0;
        if (machine.OpenKey(value.hive, value.key, key) == ERR_SUCCESS) {
            value.found = machine.QueryValue(key, value.name, 65536, value.type, value.data);
            machine.CloseKey(key);
        }
    }
    return values;
}

void RestoreSharedValues(Machine& machine, const std::vector<SharedValue>& values) {
    for (const SharedValue& value : values) {
        KeyHandle key = 0;
        if (machine.CreateKey(value.hive, value.key, "", key) != ERR_SUCCESS) {
            continue;
        }
        if (value.found == ERR_SUCCESS) {
            machine.SetValue(key, value.name, value.type, value.data);
        } else {
            RegDeleteValueA(reinterpret_cast<HKEY>(key), value.name.c_str());
        }
        machine.CloseKey(key);
    }
}

class Win32TestBackend final : public TestBackend {
  public:
    Win32TestBackend()
        : gameFolderExisted(Exists(GAME_INSTALL_DIR)), scratchFolder(NewScratchFolder()) {
        DeleteKeyTree(*machine, Hive::LocalMachine, GAME_KEY);
        DeleteKeyTree(*machine, Hive::LocalMachine, CLOAK_KEY);
    }
    ~Win32TestBackend() override {
        if (!previousFolder.empty()) {
            SetCurrentDirectoryA(previousFolder.c_str());  // before the scratch folder goes
        }
        RestoreSharedValues(*machine, sharedValues);
        DeleteKeyTree(*machine, Hive::LocalMachine, GAME_KEY);
        DeleteKeyTree(*machine, Hive::LocalMachine, CLOAK_KEY);
        RemoveTree(scratchFolder);
        if (!gameFolderExisted) {
            RemoveTree(GAME_INSTALL_DIR);
        }
    }
    Win32TestBackend(const Win32TestBackend&) = delete;
    Win32TestBackend& operator=(const Win32TestBackend&) = delete;

    Machine& GetMachine() override { return *machine; }
    std::string ScratchFolder() const override { return scratchFolder; }

    void SetReadOnly(const std::string& path, bool readOnly) override {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            throw std::runtime_error("Test machine: no file " + path);
        }
        const DWORD changed = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY)
                                       : (attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
        if (!SetFileAttributesA(path.c_str(), changed)) {
            throw std::runtime_error("Test machine: cannot change the attributes of " + path);
        }
    }

    void SetCurrentFolder(const std::string& folder) override {
        if (previousFolder.empty()) {
            char current[MAX_PATH] = {};
            GetCurrentDirectoryA(MAX_PATH, current);
            previousFolder = current;
        }
        if (!SetCurrentDirectoryA(folder.c_str())) {
            throw std::runtime_error("Test machine: cannot enter " + folder);
        }
    }

    std::string ShortPath(const std::string& path) override {
        char shortPath[MAX_PATH] = {};
        const DWORD length = GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
        return length > 0 && length < MAX_PATH ? std::string(shortPath, length) : path;
    }

    void MakeFolderLink(const std::string& link, const std::string& target) override {
        const DWORD flags =
            SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
        if (!CreateSymbolicLinkA(link.c_str(), target.c_str(), flags) ||
            (GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            throw std::runtime_error("Test machine: cannot link " + link + ", error " +
                                     std::to_string(GetLastError()));
        }
    }

    void SetModifiedTime(const std::string& path, std::uint64_t fileTime) override {
        const HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        FILETIME time{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
        const bool set = file != INVALID_HANDLE_VALUE && SetFileTime(file, nullptr, nullptr, &time);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
        if (!set) {
            throw std::runtime_error("Test machine: cannot set the time of " + path);
        }
    }

    // Windows keeps nothing between calls: a new machine reads what the next run reads.
    std::unique_ptr<Machine> Reopened() override { return win32::MakeWin32Machine(); }

  private:
    bool gameFolderExisted;
    std::string scratchFolder;
    std::unique_ptr<Machine> machine = win32::MakeWin32Machine();
    std::vector<SharedValue> sharedValues = SaveSharedValues(*machine);
    std::string previousFolder;  // the current folder before SetCurrentFolder
};

}  // namespace

std::unique_ptr<TestBackend> CreateTestBackend(const TestMachineOptions&) {
    RequireThrowawayMachine();  // before anything on the machine is touched
    return std::make_unique<Win32TestBackend>();
}

std::string RegistryFileBytes(TestMachine&) {
    return {};
}

}  // namespace parvane::test
