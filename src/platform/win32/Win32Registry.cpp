#include "platform/win32/Win32Registry.h"

#include <algorithm>
#include <vector>

#include "platform/win32/WindowsApi.h"

namespace parvane::win32 {

namespace {

HKEY RootKey(Hive hive) {
    switch (hive) {
        case Hive::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case Hive::CurrentUser:
            return HKEY_CURRENT_USER;
        case Hive::LocalMachine:
            break;
    }
    return HKEY_LOCAL_MACHINE;
}

// A 64-bit program asks for the 32-bit view of HKEY_LOCAL_MACHINE explicitly (its Software
// keys then live under Software\Wow6432Node); a 32-bit program has that view by itself.
constexpr bool IS_64_BIT_PROGRAM = sizeof(void*) == 8;

REGSAM ViewOf(Hive hive) {
    return IS_64_BIT_PROGRAM && hive == Hive::LocalMachine ? KEY_WOW64_32KEY : 0;
}

HKEY ToHkey(KeyHandle key) {
    return reinterpret_cast<HKEY>(key);
}
KeyHandle ToHandle(HKEY key) {
    return reinterpret_cast<KeyHandle>(key);
}

Win32Error Status(LSTATUS status) {
    return static_cast<Win32Error>(status);
}

}  // namespace

Win32Error OpenRegistryKey(Hive hive, const std::string& subKey, KeyHandle& key) {
    HKEY opened = nullptr;
    const LSTATUS status =
        RegOpenKeyExA(RootKey(hive), subKey.c_str(), 0, KEY_READ | ViewOf(hive), &opened);
    key = status == ERROR_SUCCESS ? ToHandle(opened) : 0;
    return Status(status);
}

Win32Error CreateRegistryKey(Hive hive, const std::string& subKey, const std::string& keyClass,
                             KeyHandle& key) {
    std::vector<char> classBuffer(keyClass.begin(), keyClass.end());
    classBuffer.push_back('\0');
    HKEY created = nullptr;
    const LSTATUS status = RegCreateKeyExA(RootKey(hive), subKey.c_str(), 0, classBuffer.data(),
                                           REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | ViewOf(hive),
                                           nullptr, &created, nullptr);
    key = status == ERROR_SUCCESS ? ToHandle(created) : 0;
    return Status(status);
}

Win32Error EnumRegistryKey(KeyHandle key, std::uint32_t index, std::uint32_t capacity,
                           std::string& name) {
    std::vector<char> buffer(std::max<std::uint32_t>(capacity, 1));
    DWORD length = capacity;
    const LSTATUS status = RegEnumKeyExA(ToHkey(key), index, buffer.data(), &length, nullptr,
                                         nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) {
        name.assign(buffer.data(), length);
    }
    return Status(status);
}

Win32Error QueryRegistryValue(KeyHandle key, const std::string& valueName, std::uint32_t capacity,
                              std::uint32_t& type, std::string& data) {
    std::vector<BYTE> buffer(std::max<std::uint32_t>(capacity, 1));
    DWORD length = capacity;
    DWORD valueType = REG_NONE;
    const LSTATUS status = RegQueryValueExA(ToHkey(key), valueName.c_str(), nullptr, &valueType,
                                            buffer.data(), &length);
    type = valueType;
    if (status == ERROR_SUCCESS) {
        data.assign(reinterpret_cast<const char*>(buffer.data()), length);
    }
    return Status(status);
}

Win32Error SetRegistryValue(KeyHandle key, const std::string& valueName, std::uint32_t type,
                            const std::string& data) {
    // The byte after the data is the string's terminator, so Windows stores string types with
    // it even when the length leaves it out.
    return Status(RegSetValueExA(ToHkey(key), valueName.c_str(), 0, type,
                                 reinterpret_cast<const BYTE*>(data.c_str()),
                                 static_cast<DWORD>(data.size())));
}

Win32Error DeleteRegistryKey(Hive hive, const std::string& subKey) {
    if constexpr (IS_64_BIT_PROGRAM) {
        return Status(RegDeleteKeyExA(RootKey(hive), subKey.c_str(), ViewOf(hive), 0));
    } else {
        return Status(RegDeleteKeyA(RootKey(hive), subKey.c_str()));
    }
}

Win32Error CloseRegistryKey(KeyHandle key) {
    return Status(RegCloseKey(ToHkey(key)));
}

}  // namespace parvane::win32
