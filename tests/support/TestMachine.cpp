#include "support/TestMachine.h"

#include <stdexcept>

#include "base/PathText.h"
#include "platform/RegistryKey.h"
#include "support/TestBackend.h"

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

void SetValue(Hive hive, const std::string& subKey, const std::string& name, std::uint32_t type,
              const std::string& data) {
    const RegistryKey key = CreatedKey(hive, subKey);
    Check(TheMachine().SetValue(key.Handle(), name, type, data),
          "setting registry value " + subKey + "\\" + name);
}

std::uint32_t Attributes(const std::string& path) {
    std::uint32_t attributes = 0;
    return TheMachine().GetAttributes(path, attributes) == ERR_SUCCESS ? attributes : ATTR_INVALID;
}

}  // namespace

TestMachine::TestMachine(const TestMachineOptions& options)
    : backend(CreateTestBackend(options)),
      gameInstallDir(options.gameInstallDir.empty() ? backend->DefaultGameInstallDir()
                                                    : options.gameInstallDir) {
    SetMachine(&backend->GetMachine());
    if (options.gameInstalled) {
        RegisterGame();
    }
    if (options.cloakingTool) {
        RegisterCloakingTool();
    }
}

TestMachine::~TestMachine() {
    SetMachine(nullptr);
}

Machine& TestMachine::GetMachine() {
    return backend->GetMachine();
}

std::unique_ptr<Machine> TestMachine::Reopened() {
    return backend->Reopened();
}

std::string TestMachine::ScratchFolder() const {
    return backend->ScratchFolder();
}

void TestMachine::RegisterGame() {
    SetString(Hive::LocalMachine, GAME_KEY, "Install Dir", gameInstallDir);
    CreateKey(Hive::LocalMachine, std::string(GAME_KEY) + "\\Courses");
    CreateKey(Hive::LocalMachine, std::string(GAME_KEY) + "\\Libraries");
    MakeFolders(gameInstallDir);
}

void TestMachine::RegisterCloakingTool() {
    CreateKey(Hive::LocalMachine, std::string(CLOAK_KEY) + "\\Courses");
    CreateKey(Hive::LocalMachine, std::string(CLOAK_KEY) + "\\Libraries");
}

void TestMachine::CreateKey(Hive hive, const std::string& subKey) {
    CreatedKey(hive, subKey);
}

void TestMachine::SetString(Hive hive, const std::string& subKey, const std::string& name,
                            const std::string& value) {
    SetValue(hive, subKey, name, REGTYPE_SZ, value);
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

void TestMachine::SetReadOnly(const std::string& path, bool readOnly) {
    backend->SetReadOnly(path, readOnly);
}

void TestMachine::MakeFolderLink(const std::string& link, const std::string& target) {
    backend->MakeFolderLink(link, target);
}

void DeleteKeyTree(Machine& machine, Hive hive, const std::string& subKey) {
    KeyHandle key = 0;
    if (machine.OpenKey(hive, subKey, key) != ERR_SUCCESS) {
        return;
    }
    std::vector<std::string> names;
    std::string name;
    while (machine.EnumKey(key, static_cast<std::uint32_t>(names.size()), 256, name) ==
           ERR_SUCCESS) {
        names.push_back(name);
    }
    machine.CloseKey(key);
    for (const std::string& child : names) {
        DeleteKeyTree(machine, hive, subKey + "\\" + child);
    }
    machine.DeleteKey(hive, subKey);
}

}  // namespace parvane::test
