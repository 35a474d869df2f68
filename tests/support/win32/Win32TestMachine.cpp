// The Win32 side of TestMachine: the real registry and file system of the machine the tests
// run on, which must be a throwaway one (a fresh Wine prefix, as the wine suite makes): each
// test starts without the game's and the cloaking tool's keys, and whatever it creates in the
// registry, in its scratch folder and in the game's folder is removed again at its end.

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/win32/WindowsApi.h"
#include "support/TestBackend.h"
#include "support/win32/RestoringMachine.h"

namespace parvane::test {

namespace {

constexpr const char* GAME_INSTALL_DIR = "C:\\Program Files (x86)\\Quorlix\\Greenvale 06";
// Set by the wine suite: the tests may rewrite the game's keys on this machine.
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

std::string ParentOf(const std::string& path) {
    const std::size_t separator = path.find_last_of('\\');
    return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

// The first folder along `path` that does not exist yet (empty when it all exists): removing
// it removes all the test added there.
std::string FirstMissingFolder(const std::string& path) {
    std::string missing;
    for (std::string folder = path; folder.size() > 3 && !Exists(folder);
         folder = ParentOf(folder)) {
        missing = folder;
    }
    return missing;
}

// Deletes a folder and everything in it, read-only or not; never follows a link out of it.
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

class Win32TestBackend final : public TestBackend {
  public:
    explicit Win32TestBackend(const TestMachineOptions& options)
        : gameFolderToRemove(FirstMissingFolder(
              options.gameInstallDir.empty() ? GAME_INSTALL_DIR : options.gameInstallDir)),
          scratchFolder(NewScratchFolder()) {
        // Left behind by a test that did not end: the machine starts without them.
        DeleteKeyTree(machine, Hive::LocalMachine, GAME_KEY);
        DeleteKeyTree(machine, Hive::LocalMachine, CLOAK_KEY);
    }
    ~Win32TestBackend() override {
        RemoveTree(scratchFolder);
        if (!gameFolderToRemove.empty()) {
            RemoveTree(gameFolderToRemove);
        }
    }
    Win32TestBackend(const Win32TestBackend&) = delete;
    Win32TestBackend& operator=(const Win32TestBackend&) = delete;

    Machine& GetMachine() override { return machine; }
    std::string DefaultGameInstallDir() const override { return GAME_INSTALL_DIR; }
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

    // Windows lets a program make symbolic links without the privilege in developer mode.
    void MakeFolderLink(const std::string& link, const std::string& target) override {
        const DWORD flags =
            SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
        if (!CreateSymbolicLinkA(link.c_str(), target.c_str(), flags) ||
            (GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            throw std::runtime_error("Test machine: cannot link " + link + ", error " +
                                     std::to_string(GetLastError()));
        }
    }

    // Windows has one registry, which every program sees as it is.
    std::unique_ptr<Machine> Reopened() override {
        return std::make_unique<ForwardingMachine>(static_cast<Machine&>(machine));
    }

  private:
    std::string gameFolderToRemove;
    std::string scratchFolder;
    RestoringMachine machine;  // puts the registry back before the folders go
};

}  // namespace

std::unique_ptr<TestBackend> CreateTestBackend(const TestMachineOptions& options) {
    RequireThrowawayMachine();  // before anything on the machine is touched
    return std::make_unique<Win32TestBackend>(options);
}

}  // namespace parvane::test
