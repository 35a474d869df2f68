#include "support/TestMachine.h"

#include <algorithm>
#include <stdexcept>

#include "base/PathText.h"
#include "base/StateFolder.h"
#include "platform/RegistryKey.h"

namespace parvane::test {

namespace {

void Check(Win32Error error, const std::string& what) {
    if (error != ERR_SUCCESS) {
        throw std::runtime_error("Test machine: " + what + " failed with error " +
                                 std::to_string(error));
    }
}

RegistryKey CreatedKey(Hive hive, const std::string& subKey) {
    RegistryKey key;
    Check(key.Create(hive, subKey, ""), "creating registry key " + subKey);
    return key;
}

void CollectFiles(const std::string& folder, const std::string& relative,
                  std::vector<std::string>& files) {
    std::vector<FolderEntry> entries;
    TheMachine().ListFolder(folder + "\\*.*", entries);
    for (const FolderEntry& entry : entries) {
        if ((entry.attributes & ATTR_DIRECTORY) == 0) {
            files.push_back(relative + entry.name);
        } else if (entry.name != "." && entry.name != "..") {
            CollectFiles(folder + "\\" + entry.name, relative + entry.name + "\\", files);
        }
    }
}

std::uint32_t Attributes(const std::string& path) {
    std::uint32_t attributes = 0;
    return TheMachine().GetAttributes(path, attributes) == ERR_SUCCESS ? attributes : ATTR_INVALID;
}

}  // namespace

TestMachine::TestMachine(const TestMachineOptions& options) : backend(CreateTestBackend(options)) {
    SetMachine(&backend->GetMachine());
    if (options.gameInstalled) {
        SetString(Hive::LocalMachine, GAME_KEY, "Install Dir", GAME_INSTALL_DIR);
        CreateKey(Hive::LocalMachine, std::string(GAME_KEY) + "\\Courses");
        CreateKey(Hive::LocalMachine, std::string(GAME_KEY) + "\\Libraries");
        MakeFolders(GAME_INSTALL_DIR);
    }
    SetStateFolder(ScratchFolder() + "\\State");
    if (options.cloakingTool) {
        CreateKey(Hive::LocalMachine, std::string(CLOAK_KEY) + "\\Courses");
        CreateKey(Hive::LocalMachine, std::string(CLOAK_KEY) + "\\Libraries");
    }
}

TestMachine::~TestMachine() {
    SetStateFolder({});
    SetMachine(nullptr);
}

void TestMachine::CreateKey(Hive hive, const std::string& subKey) {
    CreatedKey(hive, subKey);
}

void TestMachine::SetString(Hive hive, const std::string& subKey, const std::string& name,
                            const std::string& value) {
    const RegistryKey key = CreatedKey(hive, subKey);
    Check(TheMachine().SetValue(key.Handle(), name, REGTYPE_SZ, value),
          "setting registry value " + subKey + "\\" + name);
}

bool TestMachine::KeyExists(Hive hive, const std::string& subKey) {
    RegistryKey key;
    return key.Open(hive, subKey) == ERR_SUCCESS;
}

bool TestMachine::QueryString(Hive hive, const std::string& subKey, const std::string& name,
                              std::string& value) {
    RegistryKey key;
    std::uint32_t type = 0;
    if (key.Open(hive, subKey) != ERR_SUCCESS ||
        TheMachine().QueryValue(key.Handle(), name, 4096, type, value) != ERR_SUCCESS ||
        (type != REGTYPE_SZ && type != REGTYPE_EXPAND_SZ)) {
        return false;
    }
    value = value.substr(0, value.find('\0'));
    return true;
}

void TestMachine::MakeFolders(const std::string& folder) {
    for (std::size_t end = folder.find('\\');; end = folder.find('\\', end + 1)) {
        const std::string partial = folder.substr(0, end);
        if (!partial.empty() && partial.back() != ':' && !FolderExists(partial)) {
            Check(TheMachine().MakeFolder(partial), "creating folder " + partial);
        }
        if (end == std::string::npos) {
            return;
        }
    }
}

void TestMachine::WriteFile(const std::string& path, const std::string& contents) {
    MakeFolders(std::string(FolderTextPart(path)));
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> file = TheMachine().OpenFile(path, FileMode::Write, error);
    Check(error, "creating file " + path);
    if (file->Write(contents.data(), contents.size()) != contents.size()) {
        Check(file->Error(), "writing file " + path);
    }
    Check(file->Close(), "closing file " + path);
}

std::string TestMachine::ReadFile(const std::string& path) {
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> file = TheMachine().OpenFile(path, FileMode::Read, error);
    Check(error, "opening file " + path);
    std::string contents;
    char buffer[65536];
    while (const std::size_t got = file->Read(buffer, sizeof buffer)) {
        contents.append(buffer, got);
    }
    Check(file->Error(), "reading file " + path);
    file->Close();
    return contents;
}

bool TestMachine::FileExists(const std::string& path) {
    const std::uint32_t attributes = Attributes(path);
    return attributes != ATTR_INVALID && (attributes & ATTR_DIRECTORY) == 0;
}

bool TestMachine::FolderExists(const std::string& path) {
    const std::uint32_t attributes = Attributes(path);
    return attributes != ATTR_INVALID && (attributes & ATTR_DIRECTORY) != 0;
}

std::vector<std::string> FilesBelow(const std::string& folder) {
    std::vector<std::string> files;
    CollectFiles(folder, "", files);
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace parvane::test
