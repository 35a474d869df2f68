#pragma once

// registry/ of the Wine backend, above files/: the registry (here), one hive in memory
// (RegistryHive), its file read, written and saved (RegistryParser, RegistryLines, RegistryWriter,
// RegistryText, HiveFile), the files' identities (HiveStamp), and the wineserver that may hold
// the files (WineServer).
//
// The registry of a Wine prefix, read from and written to the prefix's own files: HKLM is
// system.reg, HKCU is user.reg, HKCR is HKLM\Software\Classes overlaid by
// HKCU\Software\Classes. In a 64-bit prefix (#arch=win64) HKLM\Software is seen in the 32-bit
// view, through Software\Wow6432Node, as the game sees it. The operations answer as the
// Reg*ExA calls of Windows do (status codes, code page 1252 text).
//
// Saving: a change marks its file as changed, and the file is written (whole, atomically, with
// every untouched key as it was) when the handle through which the change was made is closed,
// when a key (or a batch of keys) is deleted, and on SaveChanges. So registering a key with
// many values writes the file once, not once per value. A failed write is reported by
// CloseKey, DeleteKey, DeleteSubkeys or SaveChanges with ERR_CANTWRITE or a message, and the
// changes of that file are taken back: the registry as the program sees it is again what the
// file holds, so a change reported as failed never reaches the disk later. Right before every
// save the prefix is checked for a wineserver, which would write its own copy of the files over
// the program's changes and lose its own under them: while one serves the prefix nothing is
// saved, every change is taken back and answered with ERR_SHARING_VIOLATION. The destructor
// saves changes made through handles never closed, reporting a failure on the standard error
// stream. After a failed Load nothing is ever written, and every operation answers ERR_BADDB.
//
// Given a memo file (RegistryMemo), the registry keeps there what the run read of the first
// keys it opened, when the files are still as they were read at its end. A later Load of files
// with the same stamps reads nothing: the keys and values the memo holds are answered from it,
// and the files are read at the first question it does not answer (a failure of that read then
// answers ERR_BADDB).

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/Machine.h"

namespace parvane::wine {

class WineRegistry {
  public:
    explicit WineRegistry(const std::filesystem::path& prefixFolder,
                          std::filesystem::path memoFile = {});
    ~WineRegistry();  // saves what is still unsaved, see above
    WineRegistry(const WineRegistry&) = delete;
    WineRegistry& operator=(const WineRegistry&) = delete;

    // Reads system.reg and user.reg, unless the memo answers for them (see above). False with
    // a message naming the file and line when a file cannot be read or parsed: nothing is then
    // saved over it.
    bool Load(std::string& errorMessage);

    Win32Error OpenKey(Hive hive, const std::string& subKey, KeyHandle& key);
    Win32Error CreateKey(Hive hive, const std::string& subKey, const std::string& keyClass,
                         KeyHandle& key);
    Win32Error EnumKey(KeyHandle key, std::uint32_t index, std::uint32_t capacity,
                       std::string& name);
    Win32Error QueryValue(KeyHandle key, const std::string& valueName, std::uint32_t capacity,
                          std::uint32_t& type, std::string& data);
    Win32Error SetValue(KeyHandle key, const std::string& valueName, std::uint32_t type,
                        const std::string& data);
    Win32Error DeleteKey(Hive hive, const std::string& subKey);
    // DeleteKey for each of `names` below `parentKey`, with one write for all of them.
    void DeleteSubkeys(Hive hive, const std::string& parentKey,
                       const std::vector<std::string>& names, std::vector<Win32Error>& results);
    Win32Error CloseKey(KeyHandle key);

    // Text that changes whenever what the registry shows may have changed: the stamps of both
    // files as they were read. Empty, so that nothing kept beside it is trusted, after a failed
    // load, once this registry has changed or read a file again, and when a file had been
    // written too shortly before it was read for its time to show a later write.
    std::string Stamp() const;

    // Lets the files' key trees go while no key is open, nothing is unsaved and the Stamp is
    // known: the next question the memo does not answer reads the files again, as after a Load
    // that the memo answered. The Stamp stays until then. Otherwise nothing changes.
    void Release();

    // Writes every file that has unsaved changes. False with a message naming the file when
    // one cannot be written.
    bool SaveChanges(std::string& errorMessage);

  private:
    struct State;
    std::unique_ptr<State> state;
};

}  // namespace parvane::wine
