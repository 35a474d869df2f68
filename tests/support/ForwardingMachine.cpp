#include "support/ForwardingMachine.h"

namespace parvane::test {

ForwardingMachine::ForwardingMachine() : inner(TheMachine()) {
    SetMachine(this);
}

ForwardingMachine::~ForwardingMachine() {
    SetMachine(&inner);
}

Win32Error ForwardingMachine::OpenKey(Hive hive, const std::string& subKey, KeyHandle& key) {
    return inner.OpenKey(hive, subKey, key);
}

Win32Error ForwardingMachine::CreateKey(Hive hive, const std::string& subKey,
                                        const std::string& keyClass, KeyHandle& key) {
    return inner.CreateKey(hive, subKey, keyClass, key);
}

Win32Error ForwardingMachine::EnumKey(KeyHandle key, std::uint32_t index, std::uint32_t capacity,
                                      std::string& name) {
    return inner.EnumKey(key, index, capacity, name);
}

Win32Error ForwardingMachine::QueryValue(KeyHandle key, const std::string& valueName,
                                         std::uint32_t capacity, std::uint32_t& type,
                                         std::string& data) {
    return inner.QueryValue(key, valueName, capacity, type, data);
}

Win32Error ForwardingMachine::SetValue(KeyHandle key, const std::string& valueName,
                                       std::uint32_t type, const std::string& data) {
    return inner.SetValue(key, valueName, type, data);
}

Win32Error ForwardingMachine::DeleteKey(Hive hive, const std::string& subKey) {
    return inner.DeleteKey(hive, subKey);
}

Win32Error ForwardingMachine::CloseKey(KeyHandle key) {
    return inner.CloseKey(key);
}

Win32Error ForwardingMachine::GetAttributes(const std::string& path, std::uint32_t& attributes) {
    return inner.GetAttributes(path, attributes);
}

Win32Error ForwardingMachine::MakeFolder(const std::string& path) {
    return inner.MakeFolder(path);
}

Win32Error ForwardingMachine::RemoveEmptyFolder(const std::string& path) {
    return inner.RemoveEmptyFolder(path);
}

Win32Error ForwardingMachine::RemoveFile(const std::string& path) {
    return inner.RemoveFile(path);
}

Win32Error ForwardingMachine::CopyFileOver(const std::string& source, const std::string& target) {
    return inner.CopyFileOver(source, target);
}

Win32Error ForwardingMachine::MoveFileTo(const std::string& source, const std::string& target) {
    return inner.MoveFileTo(source, target);
}

Win32Error ForwardingMachine::ListFolder(const std::string& pattern,
                                         std::vector<FolderEntry>& entries) {
    return inner.ListFolder(pattern, entries);
}

Win32Error ForwardingMachine::LongPathName(const std::string& path, std::string& longPath) {
    return inner.LongPathName(path, longPath);
}

Win32Error ForwardingMachine::TempPath(std::string& folder) {
    return inner.TempPath(folder);
}

Win32Error ForwardingMachine::UniqueTempFile(const std::string& folder, const std::string& prefix,
                                             std::string& path) {
    return inner.UniqueTempFile(folder, prefix, path);
}

Win32Error ForwardingMachine::FreeDiskSpace(const std::string& path, std::uint64_t& bytes) {
    return inner.FreeDiskSpace(path, bytes);
}

std::unique_ptr<FileStream> ForwardingMachine::OpenFile(const std::string& path, FileMode mode,
                                                        Win32Error& error) {
    return inner.OpenFile(path, mode, error);
}

Win32Error ForwardingMachine::ModulePath(std::string& path) {
    return inner.ModulePath(path);
}

Win32Error ForwardingMachine::ProcessImageNames(std::vector<std::string>& names) {
    return inner.ProcessImageNames(names);
}

std::uint32_t ForwardingMachine::RunCommand(const std::string& commandLine) {
    return inner.RunCommand(commandLine);
}

}  // namespace parvane::test
