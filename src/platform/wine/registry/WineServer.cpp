#include "platform/wine/registry/WineServer.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace parvane::wine {

namespace {

std::filesystem::path TemporaryFolder() {
    const char* variable = std::getenv("TMPDIR");
    return (variable != nullptr && *variable != '\0') ? variable : "/tmp";
}

// The process holding a write lock on byte 0 of `lockFile`, or 0.
int LockHolder(const std::filesystem::path& lockFile) {
    const int file = open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        return 0;
    }
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    const bool asked = fcntl(file, F_GETLK, &lock) == 0;
    close(file);
    return (asked && lock.l_type != F_UNLCK) ? static_cast<int>(lock.l_pid) : 0;
}

// The name of the wine-XXXXXX folder that the prefix's file "wineserver" gives, where Debian's
// Wine started its last server for the prefix and where its programs look for it; empty when
// the file is missing or holds anything but such a name.
std::string DebianServerRoot(const std::filesystem::path& prefix) {
    const int file = open((prefix / "wineserver").c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (file < 0) {
        return {};
    }
    char text[64];
    const ssize_t length = read(file, text, sizeof text);
    close(file);
    std::string_view name(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    if (name.ends_with('\n')) {
        name.remove_suffix(1);
    }
    const bool plain =
        name.starts_with("wine-") && name.size() > 5 && name.size() < sizeof text - 1 &&
        std::all_of(name.begin() + 5, name.end(),
                    [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
    return plain ? std::string(name) : std::string();
}

// The wine-XXXXXX folders of `temporary`.
void AddEveryServerRoot(const std::filesystem::path& temporary,
                        std::vector<std::filesystem::path>& roots) {
    DIR* directory = opendir(temporary.c_str());
    if (directory == nullptr) {
        return;
    }
    while (const dirent* entry = readdir(directory)) {
        if (std::string_view(entry->d_name).starts_with("wine-")) {
            roots.push_back(temporary / entry->d_name);
        }
    }
    closedir(directory);
}

}  // namespace

std::vector<std::filesystem::path> WineserverFolders(const std::filesystem::path& prefix) {
    std::vector<std::filesystem::path> folders;
    struct stat status {};
    if (stat(prefix.c_str(), &status) != 0) {
        return folders;
    }
    char serverName[64];
    std::snprintf(serverName, sizeof serverName, "server-%llx-%llx",
                  static_cast<unsigned long long>(status.st_dev),
                  static_cast<unsigned long long>(status.st_ino));
    folders.push_back(std::filesystem::path("/tmp") / (".wine-" + std::to_string(getuid())) /
                      serverName);
    std::vector<std::filesystem::path> temporaries = {"/tmp"};
    if (TemporaryFolder() != temporaries.front()) {
        temporaries.push_back(TemporaryFolder());  // the server may have been started with either
    }
    // Every wine-XXXXXX folder is looked in only when the prefix does not name one: a few
    // hundred may be left in a temporary folder that is never emptied.
    const std::string named = DebianServerRoot(prefix);
    std::vector<std::filesystem::path> roots;
    for (const std::filesystem::path& temporary : temporaries) {
        if (named.empty()) {
            AddEveryServerRoot(temporary, roots);
        } else {
            roots.push_back(temporary / named);
        }
    }
    for (const std::filesystem::path& root : roots) {
        folders.push_back(root / serverName);
    }
    return folders;
}

bool FindRunningWineserver(const std::filesystem::path& prefix, int& pid) {
    pid = 0;
    for (const std::filesystem::path& folder : WineserverFolders(prefix)) {
        pid = LockHolder(folder / "lock");
        if (pid != 0) {
            return true;
        }
    }
    return false;
}

bool IsServedByWineserver(const std::filesystem::path& prefix, std::string& message) {
    int pid = 0;
    if (!FindRunningWineserver(prefix, pid)) {
        return false;
    }
    message = "A wineserver (process " + std::to_string(pid) +
              ") is running for the Wine prefix '" + prefix.string() +
              "'.\nIt would overwrite the registry changes made here: close the programs "
              "running in that prefix (or run 'wineserver -k' with WINEPREFIX set to it) and "
              "try again.";
    return true;
}

}  // namespace parvane::wine
