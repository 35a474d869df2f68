#pragma once

// A machine that passes every call on to another one; a test machine derives from it and
// overrides what it watches or changes.

#include "platform/Machine.h"

namespace parvane::test {

class ForwardingMachine : public Machine {
  public:
    explicit ForwardingMachine(Machine& wrapped) : inner(wrapped) {}
    ForwardingMachine(const ForwardingMachine&) = delete;
    ForwardingMachine& operator=(const ForwardingMachine&) = delete;

    Win32Error OpenKey(Hive hive, const std::string& subKey, KeyHandle& key) override {
        return inner.OpenKey(hive, subKey, key);
    }
    Win32Error CreateKey(Hive hive, const std::string& subKey, const std::string& keyClass,
                         KeyHandle& key) override {
        return inner.CreateKey(hive, subKey, keyClass, key);
    }
    Win32Error EnumKey(KeyHandle key, std::uint32_t index, std::uint32_t capacity,
                       std::string& name) override {
        return inner.EnumKey(key, index, capacity, name);
    }
    Win32Error QueryValue(KeyHandle key, const std::string& valueName, std::uint32_t capacity,
                          std::uint32_t& type, std::string& data) override {
        return inner.QueryValue(key, valueName, capacity, type, data);
    }
    Win32Error SetValue(KeyHandle key, const std::string& valueName, std::uint32_t type,
                        const std::string& data) override {
        return inner.SetValue(key, valueName, type, data);
    }
    Win32Error DeleteKey(Hive hive, const std::string& subKey) override {
        return inner.DeleteKey(hive, subKey);
    }
    Win32Error CloseKey(KeyHandle key) override { return inner.CloseKey(key); }

    Win32Error GetAttributes(const std::string& path, std::uint32_t& attributes) override {
        return inner.GetAttributes(path, attributes);
    }
    Win32Error MakeFolder(const std::string& path) override { return inner.MakeFolder(path); }
    Win32Error RemoveEmptyFolder(const std::string& path) override {
        return inner.RemoveEmptyFolder(path);
    }
    Win32Error RemoveFile(const std::string& path) override { return inner.RemoveFile(path); }
    Win32Error CopyFileOver(const std::string& source, const std::string& target) override {
        return inner.CopyFileOver(source, target);
    }
    Win32Error MoveFileTo(const std::string& source, const std::string& target) override {
        return inner.MoveFileTo(source, target);
    }
    Win32Error MoveFileOver(const std::string& source, const std::string& target) override {
        return inner.MoveFileOver(source, target);
    }
    Win32Error ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) override {
        return inner.ListFolder(pattern, entries);
    }
    Win32Error LongPathName(const std::string& path, std::string& longPath) override {
        return inner.LongPathName(path, longPath);
    }
    Win32Error TempPath(std::string& folder) override { return inner.TempPath(folder); }
    Win32Error UniqueTempFile(const std::string& folder, const std::string& prefix,
                              std::string& path) override {
        return inner.UniqueTempFile(folder, prefix, path);
    }
    Win32Error FreeDiskSpace(const std::string& path, std::uint64_t& bytes) override {
        return inner.FreeDiskSpace(path, bytes);
    }
    std::unique_ptr<FileStream> OpenFile(const std::string& path, FileMode mode,
                                         Win32Error& error) override {
        return inner.OpenFile(path, mode, error);
    }

    Win32Error ModulePath(std::string& path) override { return inner.ModulePath(path); }
    Win32Error ProcessImageNames(std::vector<std::string>& names) override {
        return inner.ProcessImageNames(names);
    }
    std::uint32_t RunCommand(const std::string& commandLine) override {
        return inner.RunCommand(commandLine);
    }

  protected:
    Machine& inner;
};

}  // namespace parvane::test
