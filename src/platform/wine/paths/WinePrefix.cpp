#include "platform/wine/paths/WinePrefix.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace parvane::wine {

namespace {

bool IsFolder(const std::filesystem::path& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool IsFile(const std::filesystem::path& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    const passwd* entry = getpwuid(geteuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/";
}

std::filesystem::path ChoosePrefixFolder(const std::string& commandLineFolder) {
    if (!commandLineFolder.empty()) {
        return commandLineFolder;
    }
    if (const char* variable = std::getenv("WINEPREFIX");
        variable != nullptr && *variable != '\0') {
        return variable;
    }
    return HomeFolder() / ".wine";
}

bool CheckPrefixFolder(const std::filesystem::path& folder, std::string& message) {
    const std::string shown = "The Wine prefix '" + folder.string() + "'";
    std::error_code error;
    if (std::filesystem::exists(folder, error) && !IsFolder(folder)) {
        message = "'" + folder.string() +
                  "' is a file, not a Wine prefix. Name the prefix's folder with --prefix or "
                  "WINEPREFIX.";
        return false;
    }
    if (!IsFolder(folder)) {
        message = shown + " does not exist. Name the prefix with --prefix or WINEPREFIX.";
        return false;
    }
    for (const char* subfolder : {"drive_c", "dosdevices"}) {
        if (!IsFolder(folder / subfolder)) {
            message = shown + " has no folder '" + subfolder +
                      "'. Run 'wineboot -i' with WINEPREFIX set to create the prefix.";
            return false;
        }
    }
    for (const char* file : {"system.reg", "user.reg"}) {
        if (!IsFile(folder / file)) {
            message = shown + " has no registry file '" + file +
                      "'. Run 'wineboot -i' with WINEPREFIX set to create the prefix.";
            return false;
        }
    }
    return true;
}

}  // namespace parvane::wine
