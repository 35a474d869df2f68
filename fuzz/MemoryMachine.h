#pragma once

// A machine whose files and folders live in memory, for the fuzzers: fast, and unable to touch
// the disk whatever an archive asks for. Paths compare ignoring case, as Windows compares them.
// It has no registry (keys do not exist) and no processes. A write or deletion outside the
// folders allowed with AllowChangesUnder stops the process: that is the finding a fuzzer looks
// for.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Machine.h"

namespace parvane::fuzz {

class MemoryMachine final : public Machine {
  public:
    MemoryMachine();

    void AllowChangesUnder(const std::string& folder);
    // Files and folders that stand on the machine before the run.
    void PutFolder(const std::string& path);
    void PutFile(const std::string& path, std::string data);
    // The files under `folder` (full paths as written), for checks after a run.
    std::vector<std::string> FilesUnder(const std::string& folder) const;

    Win32Error OpenKey(Hive, const std::string&, KeyHandle& key) override;
    Win32Error CreateKey(Hive, const std::string&, const std::string&, KeyHandle& key) override;
    Win32Error EnumKey(KeyHandle, std::uint32_t, std::uint32_t, std::string& name) override;
    Win32Error QueryValue(KeyHandle, const std::string&, std::uint32_t, std::uint32_t& type,
                          std::string& data) override;
    Win32Error SetValue(KeyHandle, const std::string&, std::uint32_t, const std::string&) override;
    Win32Error DeleteKey(Hive, const std::string&) override;
    Win32Error CloseKey(KeyHandle) override;

    Win32Error GetAttributes(const std::string& path, std::uint32_t& attributes) override;
    Win32Error GetFileStatus(const std::string& path, FileStatus& status) override;
    Win32Error MakeFolder(const std::string& path) override;
    Win32Error RemoveEmptyFolder(const std::string& path) override;
    Win32Error RemoveFile(const std::string& path) override;
    Win32Error CopyFileOver(const std::string& source, const std::string& target) override;
    Win32Error MoveFileTo(const std::string& source, const std::string& target) override;
    Win32Error MoveFileOver(const std::string& source, const std::string& target) override;
    Win32Error ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) override;
    Win32Error LongPathName(const std::string& path, std::string& longPath) override;
    Win32Error FullPathName(const std::string& path, std::string& fullPath) override;
    Win32Error TempPath(std::string& folder) override;
    Win32Error UniqueTempFile(const std::string& folder, const std::string& prefix,
                              std::string& path) override;
    Win32Error FreeDiskSpace(const std::string& path, std::uint64_t& bytes) override;
    Win32Error ArchiveNameToAnsi(const std::string& bytes, bool isUtf8, std::string& name) override;
    std::unique_ptr<FileStream> OpenFile(const std::string& path, FileMode mode,
                                         Win32Error& error) override;

    Win32Error ModulePath(std::string& path) override;
    Win32Error ProcessImageNames(std::vector<std::string>& names) override;
    std::uint32_t RunCommand(const std::string&) override;

  private:
    struct File {
        std::string path;  // as first written
        std::shared_ptr<std::string> data;
    };

    static std::string Key(const std::string& path);
    bool FolderExists(const std::string& path) const;
    bool ParentExists(const std::string& path) const;
    void CheckChangeAllowed(const std::string& path) const;

    std::map<std::string, File> files;           // by Key(path)
    std::map<std::string, std::string> folders;  // Key(path) -> path as made
    std::vector<std::string> allowed;            // Key(folder) + "\\"
    unsigned uniqueNumber = 0;
};

}  // namespace parvane::fuzz
