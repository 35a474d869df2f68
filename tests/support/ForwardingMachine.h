#pragma once

// A machine that passes every call on to the current one and puts itself in its place while
// it lives. A test overrides the calls it wants to change: a full disk, a failing delete.

#include "platform/Machine.h"

namespace parvane::test {

class ForwardingMachine : public Machine {
  public:
    ForwardingMachine();
    ~ForwardingMachine() override;
    ForwardingMachine(const ForwardingMachine&) = delete;
    ForwardingMachine& operator=(const ForwardingMachine&) = delete;

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
    Win32Error CloseKey(KeyHandle key) override;
    Win32Error GetAttributes(const std::string& path, std::uint32_t& attributes) override;
    Win32Error MakeFolder(const std::string& path) override;
    Win32Error RemoveEmptyFolder(const std::string& path) override;
    Win32Error RemoveFile(const std::string& path) override;
    Win32Error CopyFileOver(const std::string& source, const std::string& target) override;
    Win32Error MoveFileTo(const std::string& source, const std::string& target) override;
    Win32Error ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) override;
    Win32Error LongPathName(const std::string& path, std::string& longPath) override;
    Win32Error TempPath(std::string& folder) override;
    Win32Error UniqueTempFile(const std::string& folder, const std::string& prefix,
                              std::string& path) override;
    Win32Error FreeDiskSpace(const std::string& path, std::uint64_t& bytes) override;
    std::unique_ptr<FileStream> OpenFile(const std::string& path, FileMode mode,
                                         Win32Error& error) override;
    Win32Error ModulePath(std::string& path) override;
    Win32Error ProcessImageNames(std::vector<std::string>& names) override;
    std::uint32_t RunCommand(const std::string& commandLine) override;

  protected:
    Machine& inner;
};

}  // namespace parvane::test
