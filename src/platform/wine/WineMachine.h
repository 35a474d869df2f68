#pragma once

// The Wine backend's folders, from the top: WineMachine (here), registry/ and processes/,
// files/, paths/, text/; each includes only those below it (scripts/check-layers).
//
// The machine of a Wine prefix: its registry files, its drives and its files, seen as the
// Windows machine the game runs on.

#include <filesystem>
#include <memory>
#include <string>

#include "platform/Machine.h"
#include "platform/wine/registry/WineRegistry.h"

namespace parvane::wine {

class WineMachine final : public Machine {
  public:
    // `registryMemo`: the file where the registry keeps what it read for the next run
    // (WineRegistry); none when empty.
    explicit WineMachine(std::filesystem::path prefixFolder,
                         const std::filesystem::path& registryMemo = {});

    WineRegistry& Registry() { return registry; }

    Win32Error OpenKey(Hive hive, const std::string& subKey, KeyHandle& key) override;
    Win32Error CreateKey(Hive hive, const std::string& subKey, const std::string& keyClass,
                         KeyHandle& key) override;
    Win32Error EnumKey(KeyHandle key, std::uint32_t index, std::uint32_t capacity,
                       std::string& name) override;
    Win32Error QueryValue(KeyHandle key, const std::string& valueName, std::uint32_t capacity,
                          std::uint32_t& type, std::string& data) override;
    Win32Error SetValue(KeyHandle key, const std::string& valueName, std::uint32_t type,
                        const std::string& data) override;
    Win32Error DeleteKey(Hive hive, const std::string& subKey) override;
    void DeleteSubkeys(Hive hive, const std::string& parentKey,
                       const std::vector<std::string>& names,
                       std::vector<Win32Error>& results) override;
    Win32Error CloseKey(KeyHandle key) override;
    std::string RegistryStamp() override;
    void ReleaseRegistry() override;

    Win32Error GetAttributes(const std::string& path, std::uint32_t& attributes) override;
    Win32Error GetFileStatus(const std::string& path, FileStatus& status) override;
    void GetFileStatuses(std::span<const std::string_view> paths,
                         std::vector<PathStatus>& statuses) override;
    Win32Error MakeFolder(const std::string& path) override;
    Win32Error RemoveEmptyFolder(const std::string& path) override;
    Win32Error RemoveFile(const std::string& path) override;
    Win32Error CopyFileOver(const std::string& source, const std::string& target) override;
    Win32Error MoveFileTo(const std::string& source, const std::string& target) override;
    Win32Error MoveFileOver(const std::string& source, const std::string& target) override;
    Win32Error ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) override;
    Win32Error LongPathName(const std::string& path, std::string& longPath) override;
    Win32Error FullPathName(const std::string& path, std::string& fullPath) override;
    Win32Error TempPath(std::string& folder) override;
    Win32Error UniqueTempFile(const std::string& folder, const std::string& prefix,
                              std::string& path) override;
    Win32Error FreeDiskSpace(const std::string& path, std::uint64_t& bytes) override;
    std::unique_ptr<FileStream> OpenFile(const std::string& path, FileMode mode,
                                         Win32Error& error) override;
    void ReadFileStarts(const std::vector<std::string>& paths, std::size_t size,
                        std::vector<FileStart>& starts) override;

    Win32Error ArchiveNameToAnsi(const std::string& bytes, bool isUtf8, std::string& name) override;

    Win32Error ModulePath(std::string& path) override;
    Win32Error ProcessImageNames(std::vector<std::string>& names) override;
    std::uint32_t RunCommand(const std::string& commandLine) override;

  private:
    // The TEMP setting of the user's environment in the registry, expanded; empty when unset.
    std::string ConfiguredTempFolder();

    std::filesystem::path prefix;
    WineRegistry registry;
};

// Opens the prefix in `prefixFolder` and loads its registry. Null with a message when the
// folder is no prefix, its registry cannot be read, or a wineserver serves it (the server
// would overwrite every change made to the registry files).
std::unique_ptr<WineMachine> OpenWineMachine(const std::filesystem::path& prefixFolder,
                                             std::string& errorMessage,
                                             const std::filesystem::path& registryMemo = {});

}  // namespace parvane::wine
