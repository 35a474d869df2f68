#include "support/wine/WineTestMachine.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/wine/WineMachine.h"
#include "platform/wine/paths/PathMapping.h"
#include "support/wine/TestPrefix.h"

namespace parvane::test {

namespace {

constexpr const char* SCRATCH_FOLDER = "C:\\Scratch";

class WineTestBackend final : public TestBackend {
  public:
    WineTestBackend() {
        std::filesystem::create_directory(prefix.DriveC() / "Scratch");
        std::string message;
        machine = wine::OpenWineMachine(prefix.Folder(), message);
        if (!machine) {
            throw std::runtime_error("Test prefix: " + message);
        }
    }
    ~WineTestBackend() override {
        machine.reset();  // saves the registry before the prefix goes
        if (!previousFolder.empty()) {
            std::error_code error;
            std::filesystem::current_path(previousFolder, error);
        }
    }
    WineTestBackend(const WineTestBackend&) = delete;
    WineTestBackend& operator=(const WineTestBackend&) = delete;

    Machine& GetMachine() override { return *machine; }
    std::string ScratchFolder() const override { return SCRATCH_FOLDER; }

    void SetReadOnly(const std::string& path, bool readOnly) override {
        const std::filesystem::path host = HostPathFor(path);
        struct stat status {};
        if (stat(host.c_str(), &status) != 0) {
            throw std::runtime_error("Test machine: no file " + path);
        }
        const mode_t writable = S_IWUSR | S_IWGRP | S_IWOTH;
        const mode_t mode = readOnly ? (status.st_mode & ~writable) : (status.st_mode | S_IWUSR);
        if (chmod(host.c_str(), mode & 07777) != 0) {
            throw std::runtime_error("Test machine: cannot change the mode of " + path);
        }
    }

    void SetCurrentFolder(const std::string& folder) override {
        if (previousFolder.empty()) {
            previousFolder = std::filesystem::current_path();
        }
        std::filesystem::current_path(HostPathFor(folder));
    }

    std::string ShortPath(const std::string& path) override { return path; }

    void MakeFolderLink(const std::string& link, const std::string& target) override {
        std::error_code error;
        std::filesystem::create_directory_symlink(HostPathFor(target), HostPathFor(link), error);
        if (error) {
            throw std::runtime_error("Test machine: cannot link " + link + ": " + error.message());
        }
    }

    void SetModifiedTime(const std::string& path, std::uint64_t fileTime) override {
        constexpr std::uint64_t TICKS_FROM_1601_TO_1970 = 116444736000000000;
        const std::uint64_t sinceUnixEpoch = fileTime - TICKS_FROM_1601_TO_1970;
        const timespec times[2] = {{0, UTIME_OMIT},
                                   {static_cast<time_t>(sinceUnixEpoch / 10000000),
                                    static_cast<long>(sinceUnixEpoch % 10000000 * 100)}};
        if (utimensat(AT_FDCWD, HostPathFor(path).c_str(), times, 0) != 0) {
            throw std::runtime_error("Test machine: cannot set the time of " + path);
        }
    }

    std::unique_ptr<Machine> Reopened() override {
        // As the terminal program opens it, with a memo of the registry's reads.
        auto reopened = std::make_unique<wine::WineMachine>(prefix.Folder(),
                                                            prefix.Folder() / "RegistryMemo.bin");
        std::string message;
        if (!reopened->Registry().Load(message)) {
            throw std::runtime_error("Test prefix: the registry does not load again: " + message);
        }
        return reopened;
    }

    const std::filesystem::path& Prefix() const { return prefix.Folder(); }

    std::filesystem::path HostPathFor(const std::string& windowsPath) const {
        wine::HostPath host;
        const Win32Error error = wine::ResolveWindowsPath(prefix.Folder(), windowsPath, host);
        if (error != ERR_SUCCESS) {
            throw std::runtime_error("Test machine: no host path for " + windowsPath + ", error " +
                                     std::to_string(error));
        }
        return host.path;
    }

  private:
    TestPrefix prefix;  // outlives the machine, which saves into it
    std::unique_ptr<wine::WineMachine> machine;
    std::filesystem::path previousFolder;  // the current folder before SetCurrentFolder
};

WineTestBackend& WineBackendOf(TestMachine& machine) {
    return dynamic_cast<WineTestBackend&>(machine.Backend());
}

}  // namespace

std::unique_ptr<TestBackend> CreateTestBackend(const TestMachineOptions&) {
    return std::make_unique<WineTestBackend>();
}

std::filesystem::path PrefixFolder(TestMachine& machine) {
    return WineBackendOf(machine).Prefix();
}

std::string RegistryFileBytes(TestMachine& machine) {
    std::string bytes;
    for (const char* name : {"system.reg", "user.reg"}) {
        std::ifstream file(PrefixFolder(machine) / name, std::ios::binary);
        bytes += std::string(std::istreambuf_iterator<char>(file), {}) + '\0';
    }
    return bytes;
}

std::filesystem::path HostPathOf(TestMachine& machine, const std::string& windowsPath) {
    return WineBackendOf(machine).HostPathFor(windowsPath);
}

}  // namespace parvane::test
