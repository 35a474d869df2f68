#include "support/TestMachine.h"

#include <stdexcept>

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

std::string FolderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of('\\');
    return separator == std::string::npos ? std::string() : path.substr(0, separator);
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
    const RegistryKey key = CreatedKey(hive, subKey);
    Check(TheMachine().SetValue(key.Handle(), name, REGTYPE_SZ, value),
          "setting registry value " + subKey + "\\" + name);
}

void TestMachine::SetDword(Hive hive, const std::string& subKey, const std::string& name,
                           std::uint32_t value) {
    const RegistryKey key = CreatedKey(hive, subKey);
    std::string data(4, '\0');
    for (std::size_t i = 0; i < 4; ++i) {
        data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    Check(TheMachine().SetValue(key.Handle(), name, REGTYPE_DWORD, data),
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
    std::string partial;
    std::size_t start = 0;
    while (start <= folder.size()) {
        std::size_t end = folder.find('\\', start);
        if (end == std::string::npos) {
            end = folder.size();
        }
        partial = folder.substr(0, end);
        if (end > start && !FolderExists(partial)) {
            Check(TheMachine().MakeFolder(partial), "creating folder " + partial);
        }
        start = end + 1;
    }
}

void TestMachine::WriteFile(const std::string& path, const std::string& contents) {
    MakeFolders(FolderOf(path));
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
    std::uint32_t attributes = 0;
    const Win32Error error = TheMachine().GetAttributes(path, attributes);
    return error == ERR_SUCCESS && (attributes & ATTR_DIRECTORY) == 0;
}

bool TestMachine::FolderExists(const std::string& path) {
    std::uint32_t attributes = 0;
    const Win32Error error = TheMachine().GetAttributes(path, attributes);
    return error == ERR_SUCCESS && (attributes & ATTR_DIRECTORY) != 0;
}

void TestMachine::SetReadOnly(const std::string& path, bool readOnly) {
    backend->SetReadOnly(path, readOnly);
}

void TestMachine::MakeFolderLink(const std::string& link, const std::string& target) {
    backend->MakeFolderLink(link, target);
}

}  // namespace parvane::test
