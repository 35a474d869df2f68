#include "platform/wine/WineMachine.h"

#include "platform/AsciiCase.h"
#include "platform/wine/files/FileOperations.h"
#include "platform/wine/files/FileStatuses.h"
#include "platform/wine/files/FolderListing.h"
#include "platform/wine/files/HostFileStream.h"
#include "platform/wine/files/TempFiles.h"
#include "platform/wine/paths/WinePrefix.h"
#include "platform/wine/processes/DocumentLauncher.h"
#include "platform/wine/processes/HostProcesses.h"
#include "platform/wine/registry/WineServer.h"
#include "platform/wine/text/ArchiveNames.h"

namespace parvane::wine {

namespace {

constexpr std::string_view PROFILE_VARIABLE = "%USERPROFILE%";

}  // namespace

WineMachine::WineMachine(std::filesystem::path prefixFolder,
                         const std::filesystem::path& registryMemo)
    : prefix(std::move(prefixFolder)), registry(prefix, registryMemo) {}

Win32Error WineMachine::OpenKey(Hive hive, const std::string& subKey, KeyHandle& key) {
    return registry.OpenKey(hive, subKey, key);
}

Win32Error WineMachine::CreateKey(Hive hive, const std::string& subKey, const std::string& keyClass,
                                  KeyHandle& key) {
    return registry.CreateKey(hive, subKey, keyClass, key);
}

Win32Error WineMachine::EnumKey(KeyHandle key, std::uint32_t index, std::uint32_t capacity,
                                std::string& name) {
    return registry.EnumKey(key, index, capacity, name);
}

Win32Error WineMachine::QueryValue(KeyHandle key, const std::string& valueName,
                                   std::uint32_t capacity, std::uint32_t& type, std::string& data) {
    return registry.QueryValue(key, valueName, capacity, type, data);
}

Win32Error WineMachine::SetValue(KeyHandle key, const std::string& valueName, std::uint32_t type,
                                 const std::string& data) {
    return registry.SetValue(key, valueName, type, data);
}

Win32Error WineMachine::DeleteKey(Hive hive, const std::string& subKey) {
    return registry.DeleteKey(hive, subKey);
}

void WineMachine::DeleteSubkeys(Hive hive, const std::string& parentKey,
                                const std::vector<std::string>& names,
                                std::vector<Win32Error>& results) {
    registry.DeleteSubkeys(hive, parentKey, names, results);
}

Win32Error WineMachine::CloseKey(KeyHandle key) {
    return registry.CloseKey(key);
}

std::string WineMachine::RegistryStamp() {
    return registry.Stamp();
}

void WineMachine::ReleaseRegistry() {
    registry.Release();
}

Win32Error WineMachine::GetAttributes(const std::string& path, std::uint32_t& attributes) {
    return wine::GetAttributes(prefix, path, attributes);
}

Win32Error WineMachine::GetFileStatus(const std::string& path, FileStatus& status) {
    return wine::GetFileStatus(prefix, path, status);
}

void WineMachine::GetFileStatuses(std::span<const std::string_view> paths,
                                  std::vector<PathStatus>& statuses) {
    wine::GetFileStatuses(prefix, paths, statuses);
}

Win32Error WineMachine::MakeFolder(const std::string& path) {
    return wine::MakeFolder(prefix, path);
}

Win32Error WineMachine::RemoveEmptyFolder(const std::string& path) {
    return wine::RemoveEmptyFolder(prefix, path);
}

Win32Error WineMachine::RemoveFile(const std::string& path) {
    return wine::RemoveFile(prefix, path);
}

Win32Error WineMachine::CopyFileOver(const std::string& source, const std::string& target) {
    return wine::CopyFileOver(prefix, source, target);
}

Win32Error WineMachine::MoveFileTo(const std::string& source, const std::string& target) {
    return wine::MoveFileTo(prefix, source, target);
}

Win32Error WineMachine::MoveFileOver(const std::string& source, const std::string& target) {
    return wine::MoveFileOver(prefix, source, target);
}

Win32Error WineMachine::ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) {
    return wine::ListFolder(prefix, pattern, entries);
}

Win32Error WineMachine::LongPathName(const std::string& path, std::string& longPath) {
    return wine::LongPathName(prefix, path, longPath);
}

// The long name of a path here is absolute already: a relative path is resolved against the
// current folder, and the prefix has no short names.
Win32Error WineMachine::FullPathName(const std::string& path, std::string& fullPath) {
    return wine::LongPathName(prefix, path, fullPath);
}

Win32Error WineMachine::TempPath(std::string& folder) {
    return wine::TempPath(prefix, ConfiguredTempFolder(), folder);
}

Win32Error WineMachine::UniqueTempFile(const std::string& folder, const std::string& namePrefix,
                                       std::string& path) {
    return wine::UniqueTempFile(prefix, folder, namePrefix, path);
}

Win32Error WineMachine::ArchiveNameToAnsi(const std::string& bytes, bool isUtf8,
                                          std::string& name) {
    return wine::ArchiveNameToAnsi(bytes, isUtf8, name);
}

Win32Error WineMachine::FreeDiskSpace(const std::string& path, std::uint64_t& bytes) {
    return wine::FreeDiskSpace(prefix, path, bytes);
}

std::unique_ptr<FileStream> WineMachine::OpenFile(const std::string& path, FileMode mode,
                                                  Win32Error& error) {
    return wine::OpenFile(prefix, path, mode, error);
}

void WineMachine::ReadFileStarts(const std::vector<std::string>& paths, std::size_t size,
                                 std::vector<FileStart>& starts) {
    wine::ReadFileStarts(prefix, paths, size, starts);
}

Win32Error WineMachine::ModulePath(std::string& path) {
    return wine::ModulePath(prefix, path);
}

Win32Error WineMachine::ProcessImageNames(std::vector<std::string>& names) {
    return wine::ProcessImageNames(prefix, names);
}

std::uint32_t WineMachine::RunCommand(const std::string& commandLine) {
    return wine::RunCommand(prefix, commandLine);
}

std::string WineMachine::ConfiguredTempFolder() {
    KeyHandle key = 0;
    if (registry.OpenKey(Hive::CurrentUser, "Environment", key) != ERR_SUCCESS) {
        return {};
    }
    std::uint32_t type = 0;
    std::string value;
    const Win32Error error = registry.QueryValue(key, "TEMP", 256, type, value);
    registry.CloseKey(key);
    if (error != ERR_SUCCESS || (type != REGTYPE_SZ && type != REGTYPE_EXPAND_SZ)) {
        return {};
    }
    value = value.substr(0, value.find('\0'));
    if (StartsWithNoCase(value, PROFILE_VARIABLE)) {
        std::string profile;
        if (UserProfileFolder(profile) != ERR_SUCCESS) {
            return {};
        }
        value = profile + value.substr(PROFILE_VARIABLE.size());
    }
    return value.find('%') == std::string::npos ? value : std::string();
}

std::unique_ptr<WineMachine> OpenWineMachine(const std::filesystem::path& prefixFolder,
                                             std::string& errorMessage,
                                             const std::filesystem::path& registryMemo) {
    if (!CheckPrefixFolder(prefixFolder, errorMessage) ||
        IsServedByWineserver(prefixFolder, errorMessage)) {
        return nullptr;
    }
    auto machine = std::make_unique<WineMachine>(prefixFolder, registryMemo);
    if (!machine->Registry().Load(errorMessage)) {
        return nullptr;
    }
    return machine;
}

}  // namespace parvane::wine
