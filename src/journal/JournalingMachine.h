#pragma once

// The machine while a change runs: it passes every call to the machine it wraps, and writes
// each file step into the journal before the step is made. A file about to be
// replaced or deleted is first moved into a folder of kept files on its own drive (a rename,
// never a copy); registry changes are written into the journal and made only at the commit.
// The folders the program unpacks into are its own scratch space and not journaled.
// Reads see the registry as it was before the change.

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "journal/JournalFile.h"
#include "journal/JournalSteps.h"
#include "platform/Machine.h"

namespace parvane {

class JournalingMachine final : public Machine {
  public:
    // `temporaryFolder` ends in a backslash.
    JournalingMachine(Machine& wrapped, JournalWriter& journal, JournalRecords& written,
                      std::string changeId, std::string temporaryFolder);

    Win32Error OpenKey(Hive hive, const std::string& subKey, KeyHandle& key) override;
    Win32Error CreateKey(Hive hive, const std::string& subKey, const std::string& keyClass,
                         KeyHandle& key) override;
    Win32Error EnumKey(KeyHandle key, std::uint32_t index, std::uint32_t capacity,
                       std::string& name) override;
    Win32Error QueryValue(KeyHandle key, const std::string& valueName, std::uint32_t capacity,
                          std::uint32_t& type, std::string& data) override;
    Win32Error SetValue(KeyHandle key, const std::string& valueName, std::uint32_t type,
                        const std::string& data) override;
    Win32Error DeleteKey(Hive hive, const std::string& subKey) override;
    Win32Error CloseKey(KeyHandle key) override;

    Win32Error GetAttributes(const std::string& path, std::uint32_t& attributes) override {
        return inner.GetAttributes(path, attributes);
    }
    Win32Error GetFileStatus(const std::string& path, FileStatus& status) override {
        return inner.GetFileStatus(path, status);
    }
    Win32Error MakeFolder(const std::string& path) override;
    Win32Error RemoveEmptyFolder(const std::string& path) override;
    Win32Error RemoveFile(const std::string& path) override;
    Win32Error CopyFileOver(const std::string& source, const std::string& target) override;
    Win32Error MoveFileTo(const std::string& source, const std::string& target) override;
    Win32Error MoveFileOver(const std::string& source, const std::string& target) override;
    Win32Error ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) override {
        return inner.ListFolder(pattern, entries);
    }
    Win32Error LongPathName(const std::string& path, std::string& longPath) override {
        return inner.LongPathName(path, longPath);
    }
    Win32Error FullPathName(const std::string& path, std::string& fullPath) override {
        return inner.FullPathName(path, fullPath);
    }
    Win32Error TempPath(std::string& folder) override { return inner.TempPath(folder); }
    Win32Error UniqueTempFile(const std::string& folder, const std::string& prefix,
                              std::string& path) override;
    Win32Error FreeDiskSpace(const std::string& path, std::uint64_t& bytes) override {
        return inner.FreeDiskSpace(path, bytes);
    }
    std::unique_ptr<FileStream> OpenFile(const std::string& path, FileMode mode,
                                         Win32Error& error) override;
    void GetFileStatuses(std::span<const std::string_view> paths,
                         std::vector<PathStatus>& statuses) override {
        inner.GetFileStatuses(paths, statuses);
    }
    void ReadFileStarts(const std::vector<std::string>& paths, std::size_t size,
                        std::vector<FileStart>& starts) override {
        inner.ReadFileStarts(paths, size, starts);
    }

    Win32Error ArchiveNameToAnsi(const std::string& bytes, bool isUtf8,
                                 std::string& name) override {
        return inner.ArchiveNameToAnsi(bytes, isUtf8, name);
    }
    Win32Error ModulePath(std::string& path) override { return inner.ModulePath(path); }
    Win32Error ProcessImageNames(std::vector<std::string>& names) override {
        return inner.ProcessImageNames(names);
    }
    std::uint32_t RunCommand(const std::string& commandLine) override {
        return inner.RunCommand(commandLine);
    }

    // After steps were undone: what this change made is looked at again on the disk.
    void ForgetOwnPaths() { own.clear(); }

  private:
    struct KeyPlace {
        Hive hive;
        std::string path;
        bool pending;  // created by this change, made only at the commit
    };

    // Appends a record; the step may be made only when this succeeded. A step that puts a file
    // of the player's at stake (replacing, deleting, moving it) waits for its record to be on
    // the disk; a creation only for the system to have it, which a killed process cannot
    // lose. After a power cut a created file whose record did not reach the disk stays where
    // it was made (a stray file, never a lost one); a file system that keeps the order of
    // writes and renames, as ext4 does by default, loses neither.
    Win32Error Log(JournalRecord record, Durability durability);
    void LogFailed();
    bool IsScratch(const std::string& path) const;
    bool IsOwn(const std::string& path) const;
    void MarkOwn(const std::string& path);
    Win32Error KeptPathFor(const std::string& path, std::string& kept);
    Win32Error Keep(const char* tag, const std::string& path);
    // The digest of the file follows it to `target` when the call succeeded.
    static void CarryDigest(Win32Error error, const std::string& source, const std::string& target,
                            bool moved);
    // Makes room for a file at `target`: journals its creation, or keeps the file there.
    Win32Error PrepareTarget(const std::string& target);

    Machine& inner;
    JournalWriter& writer;
    JournalRecords& records;
    std::string id;
    std::string temp;  // the program's temporary folder, ending in a backslash
    std::map<std::string, std::string> keptFolders;  // by drive ("C:")
    std::set<std::string> own;                       // paths this change created, in capitals
    std::unordered_map<KeyHandle, KeyPlace> keys;
    KeyHandle nextPendingKey = 0;
};

}  // namespace parvane
