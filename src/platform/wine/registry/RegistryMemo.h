#pragma once

// What one run read of the registry's keys, kept in a file with the stamps of the registry
// files it was read from: a later run that reads the same keys while the files are unchanged
// takes the answers from there, and reads the files (tens of megabytes for a large collection)
// only for a question the memo does not answer. A file that cannot be read, is cut short or
// comes from another version or other registry files is ignored; keeping one is never an error.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/Machine.h"

namespace parvane::wine {

// A value as RegQueryValueExA gives it, before its data is held against the caller's buffer.
struct RememberedValue {
    std::string name;
    Win32Error status = ERR_SUCCESS;
    std::uint32_t type = 0;
    std::string data;
};

// A key as RegOpenKeyExA found it (or not), with the values asked of it.
struct RememberedKey {
    Hive hive = Hive::LocalMachine;
    std::string subKey;
    Win32Error opened = ERR_SUCCESS;
    std::vector<RememberedValue> values;
};

class RegistryMemo {
  public:
    // The keys of the start of a run, not the tens of thousands a full read of the stores opens.
    static constexpr std::size_t MAX_KEYS = 64;

    // The memo in `file` when it was taken of registry files with `stamp`; empty otherwise.
    static RegistryMemo Read(const std::filesystem::path& file, const std::string& stamp);
    // Replaces `file` whole; false when it cannot be written (the old file then stays).
    bool Write(const std::filesystem::path& file, const std::string& stamp) const;

    bool Empty() const { return keys.empty(); }
    const RememberedKey& Key(std::size_t index) const { return keys[index]; }
    // The index of the key, or -1 when it is not kept. Key paths are matched as they were
    // asked, letter for letter.
    int Find(Hive hive, std::string_view subKey) const;
    const RememberedValue* ValueOf(std::size_t key, std::string_view name) const;

    // Keeps the key's opening and returns its index; -1 when the memo is full.
    int KeepKey(Hive hive, const std::string& subKey, Win32Error opened);
    void KeepValue(std::size_t key, RememberedValue value);
    // Whether the memo is worth writing: something was added since it was read, and no key
    // was left out. A run that opens more keys than a memo holds reads the stores whole, and
    // its first keys are store entries, not the few that every run asks at its start: it
    // keeps no memo, and the next run, which takes the stores from their snapshot, keeps one.
    bool Changed() const { return changed && !overflowed; }

  private:
    std::vector<RememberedKey> keys;
    std::unordered_map<std::string, std::size_t> indexByPath;  // hive and path, see PathKey
    bool changed = false;
    bool overflowed = false;
};

}  // namespace parvane::wine
