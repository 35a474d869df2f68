#include "app/cli/PrefixFolders.h"

#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "app/cli/TerminalUserInterface.h"
#include "app/cli/TypedPaths.h"
#include "base/PathText.h"
#include "base/Sha1.h"
#include "platform/wine/paths/WinePrefix.h"

namespace parvane::cli {

namespace {

// A file name holds at most this many bytes on the usual Linux file systems.
constexpr std::size_t MAX_HOST_NAME_LENGTH = 255;
// How much of a prefix folder's name each of the prefix's names may take.
constexpr std::size_t MAX_NAME_PART_LENGTH = 24;
constexpr std::size_t NAME_PARTS = 3;
// Room left in a Windows path for what the program keeps inside its folder.
constexpr std::size_t ROOM_FOR_FILES = 64;

bool IsLetterOrDigit(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// $<variable>/parvane, or <home>/<fallback>/parvane when the variable is unset or not absolute.
std::filesystem::path XdgFolder(const char* variable, const std::filesystem::path& fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && std::filesystem::path(value).is_absolute()) {
        return std::filesystem::path(value) / "parvane";
    }
    return wine::HomeFolder() / fallback / "parvane";
}

std::string NamePart(const std::string& name) {
    std::string part;
    for (const char c : name.substr(0, MAX_NAME_PART_LENGTH)) {
        const auto byte = static_cast<unsigned char>(c);
        part += IsLetterOrDigit(byte) || c == '.' || c == '-' || c == '_' ? c : '_';
    }
    return part;
}

std::string ShortDigest(const std::string& text) {
    Sha1 sha1;
    sha1.Add(text.data(), text.size());
    const Sha1Digest digest = sha1.Finish();
    char hex[9];
    std::snprintf(hex, sizeof hex, "%02x%02x%02x%02x", digest[0], digest[1], digest[2], digest[3]);
    return hex;
}

bool IsThere(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() !=
           std::filesystem::file_type::not_found;
}

// Moves the folder an earlier version made for the prefix to its new name, when only the old
// one is there: one rename within `root`, so the folder arrives whole or not at all.
bool MoveOldFolder(const std::filesystem::path& root, const std::filesystem::path& canonical,
                   const std::filesystem::path& folder, std::string& message) {
    const std::string oldName = OldPrefixFolderName(canonical);
    if (oldName.size() > MAX_HOST_NAME_LENGTH || IsThere(folder)) {
        return true;
    }
    const std::filesystem::path oldFolder = root / oldName;
    std::error_code error;
    if (!std::filesystem::is_directory(oldFolder, error)) {
        return true;
    }
    std::filesystem::rename(oldFolder, folder, error);
    if (error) {
        message = "Couldn't move the folder '" + oldFolder.string() + "' to '" + folder.string() +
                  "': " + error.message();
        return false;
    }
    return true;
}

}  // namespace

std::filesystem::path PropertiesRoot() {
    return XdgFolder("XDG_CONFIG_HOME", ".config");
}

std::filesystem::path ReportRoot() {
    return XdgFolder("XDG_DATA_HOME", std::filesystem::path(".local") / "share");
}

std::filesystem::path StateRoot() {
    return XdgFolder("XDG_STATE_HOME", std::filesystem::path(".local") / "state");
}

std::filesystem::path CanonicalPrefix(const std::filesystem::path& prefix) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(prefix, error);
    return error ? std::filesystem::absolute(prefix).lexically_normal() : canonical;
}

std::string PrefixFolderName(const std::filesystem::path& canonicalPrefix) {
    std::vector<std::string> names;
    for (const std::filesystem::path& name : canonicalPrefix.relative_path()) {
        if (!name.empty()) {
            names.push_back(name.string());
        }
    }
    std::string folderName;
    const std::size_t first = names.size() > NAME_PARTS ? names.size() - NAME_PARTS : 0;
    for (std::size_t index = first; index < names.size(); ++index) {
        folderName += NamePart(names[index]) + "-";
    }
    return folderName + ShortDigest(canonicalPrefix.string());
}

std::string OldPrefixFolderName(const std::filesystem::path& canonicalPrefix) {
    std::string name;
    for (const char c : canonicalPrefix.string()) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/') {
            name += '_';
        } else if (IsLetterOrDigit(byte) || c == '.' || c == '-') {
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
    const std::filesystem::path canonical = CanonicalPrefix(prefix);
    hostFolder = root / PrefixFolderName(canonical);
    if (!MoveOldFolder(root, canonical, hostFolder, message)) {
        return false;
    }
    std::error_code error;
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
    if (windowsFolder.size() + ROOM_FOR_FILES > MAX_PATH_LENGTH) {
        message = "The folder '" + hostFolder.string() + "' is reached from the Wine prefix as '" +
                  TerminalText(windowsFolder) + "', " + std::to_string(windowsFolder.size()) +
                  " characters: too long for the files in it, since a Windows path holds at "
                  "most " +
                  std::to_string(MAX_PATH_LENGTH) +
                  ". Set XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_STATE_HOME to shorter folders.";
        return false;
    }
    return true;
}

}  // namespace parvane::cli
