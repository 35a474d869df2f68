#pragma once

// The registry operations of the seam over advapi32. HKEY_LOCAL_MACHINE is always seen in the
// 32-bit view, where the game and the cloaking tool (32-bit programs) keep their keys.

#include <cstdint>
#include <string>

#include "platform/Machine.h"

namespace parvane::win32 {

Win32Error OpenRegistryKey(Hive hive, const std::string& subKey, KeyHandle& key);
Win32Error CreateRegistryKey(Hive hive, const std::string& subKey, const std::string& keyClass,
                             KeyHandle& key);
Win32Error EnumRegistryKey(KeyHandle key, std::uint32_t index, std::uint32_t capacity,
                           std::string& name);
Win32Error QueryRegistryValue(KeyHandle key, const std::string& valueName, std::uint32_t capacity,
                              std::uint32_t& type, std::string& data);
Win32Error SetRegistryValue(KeyHandle key, const std::string& valueName, std::uint32_t type,
                            const std::string& data);
Win32Error DeleteRegistryKey(Hive hive, const std::string& subKey);
Win32Error CloseRegistryKey(KeyHandle key);

}  // namespace parvane::win32
