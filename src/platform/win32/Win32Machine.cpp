#include "platform/win32/Win32Machine.h"

#include "platform/win32/Win32ArchiveNames.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Registry.h"

namespace parvane::win32 {

namespace {

class Win32Machine final : public Machine {
  public:
    Win32Error OpenKey(Hive hive, const std::string& subKey, KeyHandle& key) override {
        return OpenRegistryKey(hive, subKey, key);
    }
    Win32Error CreateKey(Hive hive, const std::string& subKey, const std::string& keyClass,
                         KeyHandle& key) override {
        return CreateRegistryKey(hive, subKey, keyClass, key);
    }
    Win32Error EnumKey(KeyHandle key, std::uint32_t index, std::uint32_t capacity,
                       std::string& name) override {
        return EnumRegistryKey(key, index, capacity, name);
    }
    Win32Error QueryValue(KeyHandle key, const std::string& valueName, std::uint32_t capacity,
                          std::uint32_t& type, std::string& data) override {
        return QueryRegistryValue(key, valueName, capacity, type, data);
    }
    Win32Error SetValue(KeyHandle key, const std::string& valueName, std::uint32_t type,
                        const std::string& data) override {
        return SetRegistryValue(key, valueName, type, data);
    }
    Win32Error DeleteKey(Hive hive, const std::string& subKey) override {
        return DeleteRegistryKey(hive, subKey);
    }
    Win32Error CloseKey(KeyHandle key) override { return CloseRegistryKey(key); }

    Win32Error GetAttributes(const std::string& path, std::uint32_t& attributes) override {
        return GetFileAttributesOf(path, attributes);
    }
    Win32Error GetFileStatus(const std::string& path, FileStatus& status) override {
        return GetFileStatusOf(path, status);
    }
    Win32Error MakeFolder(const std::string& path) override { return win32::MakeFolder(path); }
    Win32Error RemoveEmptyFolder(const std::string& path) override {
        return win32::RemoveEmptyFolder(path);
    }
    Win32Error RemoveFile(const std::string& path) override { return win32::RemoveFile(path); }
    Win32Error CopyFileOver(const std::string& source, const std::string& target) override {
        return win32::CopyFileOver(source, target);
    }
    Win32Error MoveFileTo(const std::string& source, const std::string& target) override {
        return win32::MoveFileTo(source, target);
    }
    Win32Error MoveFileOver(const std::string& source, const std::string& target) override {
        return win32::MoveFileOver(source, target);
    }
    Win32Error ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) override {
        return win32::ListFolder(pattern, entries);
    }
    Win32Error LongPathName(const std::string& path, std::string& longPath) override {
        return win32::LongPathName(path, longPath);
    }
    Win32Error FullPathName(const std::string& path, std::string& fullPath) override {
        return win32::FullPathName(path, fullPath);
    }
    Win32Error TempPath(std::string& folder) override { return win32::TempPath(folder); }
    Win32Error UniqueTempFile(const std::string& folder, const std::string& prefix,
                              std::string& path) override {
        return win32::UniqueTempFile(folder, prefix, path);
    }
    Win32Error ArchiveNameToAnsi(const std::string& bytes, bool isUtf8,
                                 std::string& name) override {
        return win32::ArchiveNameToAnsi(bytes, isUtf8, name);
    }
    Win32Error FreeDiskSpace(const std::string& path, std::uint64_t& bytes) override {
        return win32::FreeDiskSpace(path, bytes);
    }
    std::unique_ptr<FileStream> OpenFile(const std::string& path, FileMode mode,
                                         Win32Error& error) override {
        return OpenFileStream(path, mode, error);
    }
    void ReadFileStarts(const std::vector<std::string>& paths, std::size_t size,
                        std::vector<FileStart>& starts) override {
        ReadFileStartsAtOnce(paths, size, starts);
    }

    Win32Error ModulePath(std::string& path) override { return win32::ModulePath(path); }
    Win32Error ProcessImageNames(std::vector<std::string>& names) override {
        return win32::ProcessImageNames(names);
    }
    std::uint32_t RunCommand(const std::string& commandLine) override {
        return win32::RunCommand(commandLine);
    }
};

}  // namespace

std::unique_ptr<Machine> MakeWin32Machine() {
    return std::make_unique<Win32Machine>();
}

}  // namespace parvane::win32
