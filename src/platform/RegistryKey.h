#pragma once

// An open registry key that closes itself (ignoring the result: see Close).

#include <string>
#include <utility>

#include "platform/Machine.h"

namespace parvane {

class RegistryKey {
  public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&& other) noexcept : handle(std::exchange(other.handle, 0)) {}
    RegistryKey& operator=(RegistryKey&& other) noexcept {
        if (this != &other) {
            Close();
            handle = std::exchange(other.handle, 0);
        }
        return *this;
    }

    // RegOpenKeyExA with KEY_READ.
    Win32Error Open(Hive hive, const std::string& subKey) {
        Close();
        return TheMachine().OpenKey(hive, subKey, handle);
    }
    // RegCreateKeyExA with KEY_ALL_ACCESS.
    Win32Error Create(Hive hive, const std::string& subKey, const std::string& keyClass) {
        Close();
        return TheMachine().CreateKey(hive, subKey, keyClass, handle);
    }
    // RegCloseKey. On the Wine backend closing a key through which something was changed is
    // what writes the change to the registry file, so a caller that changed the key closes it
    // itself and treats a failure here as the failure of its change.
    Win32Error Close() {
        return handle != 0 ? TheMachine().CloseKey(std::exchange(handle, 0)) : ERR_SUCCESS;
    }

    KeyHandle Handle() const { return handle; }

  private:
    KeyHandle handle = 0;
};

}  // namespace parvane
