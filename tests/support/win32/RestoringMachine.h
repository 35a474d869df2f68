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

#include "platform/win32/Win32Machine.h"
#include "support/ForwardingMachine.h"

namespace parvane::test {

class RestoringMachine final : public ForwardingMachine {
  public:
    RestoringMachine() : RestoringMachine(win32::MakeWin32Machine()) {}
    ~RestoringMachine() override;

    Win32Error OpenKey(Hive hive, const std::string& subKey, KeyHandle& key) override;
    Win32Error CreateKey(Hive hive, const std::string& subKey, const std::string& keyClass,
                         KeyHandle& key) override;
    Win32Error SetValue(KeyHandle key, const std::string& valueName, std::uint32_t type,
                        const std::string& data) override;
    Win32Error CloseKey(KeyHandle key) override;

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

    explicit RestoringMachine(std::unique_ptr<Machine> windows)
        : ForwardingMachine(*windows), machine(std::move(windows)) {}
    bool Exists(Hive hive, const std::string& subKey);
    void RememberValue(const KeyPath& key, KeyHandle handle, const std::string& name);
    void Restore();

    std::unique_ptr<Machine> machine;
    std::map<KeyHandle, KeyPath> openKeys;
    std::vector<KeyPath> createdKeys;  // the first new key along each created path
    std::set<std::tuple<Hive, std::string, std::string>> rememberedValues;  // in upper case
    std::vector<OldValue> oldValues;
};

}  // namespace parvane::test
