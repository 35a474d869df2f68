#pragma once

// The Win32 machine as a test sees it: the real registry, put back as it was when the machine
// goes. Keys it created are deleted with their subkeys, values it overwrote get their old type
// and data back, values it added are deleted. Every call reaches Windows unchanged.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Machine.h"

namespace parvane::test {

class RestoringMachine final : public Machine {
  public:
    RestoringMachine();
    ~RestoringMachine() override;
    RestoringMachine(const RestoringMachine&) = delete;
    RestoringMachine& operator=(const RestoringMachine&) = delete;

    Win32Error OpenKey(Hive hive, const std::string& subKey, KeyHandle& key) override;
    Win32Error CreateKey(Hive hive, const std::string& subKey, const std::string& keyClass,
                         KeyHandle& key) override;
    Win32Error EnumKey(KeyHandle key, std::uint32_t index, std::uint32_t capacity,
                       std::string& name) override {
        return machine->EnumKey(key, index, capacity, name);
    }
    Win32Error QueryValue(KeyHandle key, const std::string& valueName, std::uint32_t capacity,
                          std::uint32_t& type, std::string& data) override {
        return machine->QueryValue(key, valueName, capacity, type, data);
    }
    Win32Error SetValue(KeyHandle key, const std::string& valueName, std::uint32_t type,
                        const std::string& data) override;
    Win32Error DeleteKey(Hive hive, const std::string& subKey) override {
        return machine->DeleteKey(hive, subKey);
    }
    Win32Error CloseKey(KeyHandle key) override;

    Win32Error GetAttributes(const std::string& path, std::uint32_t& attributes) override {
        return machine->GetAttributes(path, attributes);
    }
    Win32Error MakeFolder(const std::string& path) override { return machine->MakeFolder(path); }
    Win32Error RemoveEmptyFolder(const std::string& path) override {
        return machine->RemoveEmptyFolder(path);
    }
    Win32Error RemoveFile(const std::string& path) override { return machine->RemoveFile(path); }
    Win32Error CopyFileOver(const std::string& source, const std::string& target) override {
        return machine->CopyFileOver(source, target);
    }
    Win32Error MoveFileTo(const std::string& source, const std::string& target) override {
        return machine->MoveFileTo(source, target);
    }
    Win32Error MoveFileOver(const std::string& source, const std::string& target) override {
        return machine->MoveFileOver(source, target);
    }
    Win32Error ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) override {
        return machine->ListFolder(pattern, entries);
    }
    Win32Error LongPathName(const std::string& path, std::string& longPath) override {
        return machine->LongPathName(path, longPath);
    }
    Win32Error TempPath(std::string& folder) override { return machine->TempPath(folder); }
    Win32Error UniqueTempFile(const std::string& folder, const std::string& prefix,
                              std::string& path) override {
        return machine->UniqueTempFile(folder, prefix, path);
    }
    Win32Error FreeDiskSpace(const std::string& path, std::uint64_t& bytes) override {
        return machine->FreeDiskSpace(path, bytes);
    }
    std::unique_ptr<FileStream> OpenFile(const std::string& path, FileMode mode,
                                         Win32Error& error) override {
        return machine->OpenFile(path, mode, error);
    }

    Win32Error ModulePath(std::string& path) override { return machine->ModulePath(path); }
    Win32Error ProcessImageNames(std::vector<std::string>& names) override {
        return machine->ProcessImageNames(names);
    }
    std::uint32_t RunCommand(const std::string& commandLine) override {
        return machine->RunCommand(commandLine);
    }

  private:
    struct KeyPath {
        Hive hive = Hive::LocalMachine;
        std::string subKey;
    };
    struct OldValue {
        KeyPath key;
        std::string name;
        bool existed = false;
        std::uint32_t type = 0;
        std::string data;
    };

    bool Exists(Hive hive, const std::string& subKey);
    void RememberValue(const KeyPath& key, KeyHandle handle, const std::string& name);
    void Restore();

    std::unique_ptr<Machine> machine;
    std::map<KeyHandle, KeyPath> openKeys;
    std::vector<KeyPath> createdKeys;  // the first new key along each created path
    std::set<std::tuple<Hive, std::string, std::string>> rememberedValues;  // in upper case
    std::vector<OldValue> oldValues;
};

// Deletes HKEY_<hive>\<subKey> with all its subkeys (the machine's view); absent is fine.
void DeleteKeyTree(Machine& machine, Hive hive, const std::string& subKey);

}  // namespace parvane::test
