#include "support/win32/RestoringMachine.h"

#include "base/AsciiCase.h"
#include "platform/win32/WindowsApi.h"
#include "support/TestMachine.h"

namespace parvane::test {

namespace {

// The key paths from the first component down to `subKey` itself.
std::vector<std::string> PathsDownTo(const std::string& subKey) {
    std::vector<std::string> paths;
    for (std::size_t end = subKey.find('\\'); end != std::string::npos;
         end = subKey.find('\\', end + 1)) {
        paths.push_back(subKey.substr(0, end));
    }
    paths.push_back(subKey);
    return paths;
}

// The whole value, however long.
Win32Error QueryWholeValue(Machine& machine, KeyHandle key, const std::string& name,
                           std::uint32_t& type, std::string& data) {
    for (std::uint32_t capacity = 4096;; capacity *= 4) {
        const Win32Error error = machine.QueryValue(key, name, capacity, type, data);
        if (error != ERR_MORE_DATA) {
            return error;
        }
    }
}

}  // namespace

RestoringMachine::~RestoringMachine() {
    for (const auto& [handle, path] : openKeys) {
        machine->CloseKey(handle);
    }
    Restore();
}

Win32Error RestoringMachine::OpenKey(Hive hive, const std::string& subKey, KeyHandle& key) {
    const Win32Error error = machine->OpenKey(hive, subKey, key);
    if (error == ERR_SUCCESS) {
        openKeys[key] = KeyPath{hive, subKey};
    }
    return error;
}

Win32Error RestoringMachine::CreateKey(Hive hive, const std::string& subKey,
                                       const std::string& keyClass, KeyHandle& key) {
    // RegCreateKeyExA creates the missing keys along the path too; the first missing one
    // heads what is to be deleted.
    std::string firstMissing;
    for (const std::string& path : PathsDownTo(subKey)) {
        if (!Exists(hive, path)) {
            firstMissing = path;
            break;
        }
    }
    const Win32Error error = machine->CreateKey(hive, subKey, keyClass, key);
    if (error == ERR_SUCCESS) {
        openKeys[key] = KeyPath{hive, subKey};
        if (!firstMissing.empty()) {
            createdKeys.push_back(KeyPath{hive, firstMissing});
        }
    }
    return error;
}

Win32Error RestoringMachine::SetValue(KeyHandle key, const std::string& valueName,
                                      std::uint32_t type, const std::string& data) {
    const auto open = openKeys.find(key);
    if (open != openKeys.end()) {
        RememberValue(open->second, key, valueName);
    }
    return machine->SetValue(key, valueName, type, data);
}

Win32Error RestoringMachine::CloseKey(KeyHandle key) {
    openKeys.erase(key);
    return machine->CloseKey(key);
}

bool RestoringMachine::Exists(Hive hive, const std::string& subKey) {
    KeyHandle key = 0;
    if (machine->OpenKey(hive, subKey, key) != ERR_SUCCESS) {
        return false;
    }
    machine->CloseKey(key);
    return true;
}

void RestoringMachine::RememberValue(const KeyPath& key, KeyHandle handle,
                                     const std::string& name) {
    const auto id = std::make_tuple(key.hive, ToUpperAscii(key.subKey), ToUpperAscii(name));
    if (!rememberedValues.insert(id).second) {
        return;  // the first contents are the ones to put back
    }
    OldValue old;
    old.key = key;
    old.name = name;
    old.existed = QueryWholeValue(*machine, handle, name, old.type, old.data) == ERR_SUCCESS;
    oldValues.push_back(old);
}

void RestoringMachine::Restore() {
    // Newest first: a value remembered in a key created later goes with that key.
    for (auto old = oldValues.rbegin(); old != oldValues.rend(); ++old) {
        KeyHandle key = 0;
        if (!Exists(old->key.hive, old->key.subKey) ||
            machine->CreateKey(old->key.hive, old->key.subKey, "", key) != ERR_SUCCESS) {
            continue;
        }
        if (old->existed) {
            machine->SetValue(key, old->name, old->type, old->data);
        } else {
            RegDeleteValueA(reinterpret_cast<HKEY>(key), old->name.c_str());
        }
        machine->CloseKey(key);
    }
    for (auto created = createdKeys.rbegin(); created != createdKeys.rend(); ++created) {
        DeleteKeyTree(*machine, created->hive, created->subKey);
    }
}

}  // namespace parvane::test
