#include "app/cli/PropertiesPlace.h"

#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "app/cli/TypedPaths.h"
#include "platform/wine/WinePrefix.h"

namespace parvane::cli {

namespace {

// A file name holds at most this many bytes on the usual Linux file systems.
constexpr std::size_t MAX_HOST_NAME_LENGTH = 255;

bool IsKeptAsItIs(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-';
}

// $<variable>/parvane, or <home>/<fallback>/parvane when the variable is unset or not absolute.
std::filesystem::path XdgFolder(const char* variable, const std::filesystem::path& fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && std::filesystem::path(value).is_absolute())
        return std::filesystem::path(value) / "parvane";
    return wine::HomeFolder() / fallback / "parvane";
}

}  // namespace

std::filesystem::path PropertiesRoot() {
    return XdgFolder("XDG_CONFIG_HOME", ".config");
}

std::filesystem::path StateRoot() {
    return XdgFolder("XDG_STATE_HOME", std::filesystem::path(".local") / "state");
}

std::filesystem::path ReportRoot() {
    return XdgFolder("XDG_DATA_HOME", std::filesystem::path(".local") / "share");
}

std::string PrefixFolderName(const std::filesystem::path& absolutePrefix) {
    std::string name;
    for (const char c : absolutePrefix.string()) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/') {
            name += '_';
        } else if (IsKeptAsItIs(byte)) {
            name += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            name += escaped;
        }
    }
    return name;
}

bool PreparePrefixFolder(const std::filesystem::path& root, const std::filesystem::path& prefix,
                         std::filesystem::path& hostFolder, std::string& windowsFolder,
                         std::string& message) {
    std::error_code error;
    const std::filesystem::path absolutePrefix = std::filesystem::canonical(prefix, error);
    const std::string name = PrefixFolderName(error ? prefix : absolutePrefix);
    if (error || name.size() > MAX_HOST_NAME_LENGTH) {
        message = "No folder in '" + root.string() + "' can be named after the Wine prefix '" +
                  prefix.string() + "'" +
                  (error ? ": " + error.message() : ": its path is too long.");
        return false;
    }
    hostFolder = root / name;
    std::filesystem::create_directories(hostFolder, error);
    if (error) {
        message = "Couldn't create the folder '" + hostFolder.string() + "': " + error.message();
        return false;
    }
    if (!ToWindowsPath(prefix, hostFolder.string(), windowsFolder, message)) {
        message = "The folder '" + hostFolder.string() +
                  "' cannot be reached from the Wine prefix: " + message;
        return false;
    }
    return true;
}

}  // namespace parvane::cli
