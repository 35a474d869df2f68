#pragma once

// The machine of a dry run: everything the program reads comes from the machine below, and
// every change stays in memory, where the program's later reads find it, so that a whole
// installation or removal runs its checks and questions as it would and the machine below is
// left as it was. The run's own scratch files below the temporary folder are written for real,
// since the program removes them itself; the bytes of a file the run would write elsewhere wait
// in a shadow file there, removed with this machine. At the end the changes the run would have
// made are listed, in the order in which they were first made.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/Machine.h"

namespace parvane::cli {

class OverlayMachine final : public Machine {
  public:
    explicit OverlayMachine(Machine& below);
    ~OverlayMachine() override;  // removes the shadow files
    OverlayMachine(const OverlayMachine&) = delete;
    OverlayMachine& operator=(const OverlayMachine&) = delete;

    // A path of the machine as a report shows it (UTF-8).
    using PathShown = std::function<std::string(const std::string& windowsPath)>;
    // One line per change that is still one at the end ("create folder C:\x", "copy a.tcr to
    // C:\x\a.tcr", "set HKEY_LOCAL_MACHINE\...\{...} "Name" = "Pine"", "delete C:\x\a.tcl"),
    // in UTF-8, each file and folder path as `shown` gives it (none: as it stands).
    std::vector<std::string> PlannedChanges(const PathShown& shown = nullptr) const;

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
    // Text only: the machine below converts it.
    Win32Error ArchiveNameToAnsi(const std::string& bytes, bool isUtf8,
                                 std::string& name) override {
        return below.ArchiveNameToAnsi(bytes, isUtf8, name);
    }
    std::unique_ptr<FileStream> OpenFile(const std::string& path, FileMode mode,
                                         Win32Error& error) override;

    Win32Error ModulePath(std::string& path) override;
    Win32Error ProcessImageNames(std::vector<std::string>& names) override;
    // Nothing is started: the command is listed among the changes.
    std::uint32_t RunCommand(const std::string& commandLine) override;

  private:
    // What a path holds in this run, where it differs from the machine below.
    enum class Kind { Absent, File, Folder };
    struct PathState {
        Kind kind = Kind::Absent;
        Kind before = Kind::Absent;  // what the machine below holds there
        std::string spelling;        // the path as the program first named it
        std::string content;         // a File's bytes: a path of the machine below
        std::string origin;          // where they came from; empty for bytes the run wrote
        std::uint64_t order = 0;     // when the path was first changed
    };
    struct Value {
        std::string name;
        std::uint32_t type = 0;
        std::string data;  // strings without their terminator
    };
    struct KeyState {
        bool exists = true;
        bool existedBefore = true;
        bool hidesBelow = false;  // deleted once: nothing of the machine below shows through
        std::string spelling;
        std::map<std::string, Value> values;  // by upper-case name
        std::uint64_t order = 0;
    };
    struct OpenedKey {
        Hive hive = Hive::LocalMachine;
        std::string subKey;
        std::string id;  // the KeyState's key
        KeyHandle below = 0;
        std::vector<std::string> subkeys;    // the merged list, built at the first EnumKey
        std::optional<std::uint64_t> built;  // the change count it was built at
    };

    bool IsScratch(const std::string& path) const;
    Kind KindOf(const std::string& path, std::uint32_t* attributes = nullptr);
    PathState& Changed(const std::string& path);
    bool ParentIsFolder(const std::string& path);
    // A shadow file for bytes the run would write; empty after a failure of the machine below.
    std::string NewShadow(Win32Error& error);
    // Where the bytes of the file at `path` can be read now, and where they came from.
    std::string ContentOf(const std::string& path);
    std::string OriginOf(const std::string& path);
    Win32Error PutFile(const std::string& source, const std::string& target, bool move);
    Win32Error CheckReplaceable(const std::string& target);
    std::vector<FolderEntry> ChangedChildren(const std::string& folderKey,
                                             const std::string& wildcard);
    std::uint64_t SizeOf(const std::string& content);

    std::string KeyId(Hive hive, const std::string& subKey) const;
    bool KeyExists(Hive hive, const std::string& subKey);
    KeyState& ChangedKey(Hive hive, const std::string& subKey);
    KeyHandle NewHandle(Hive hive, const std::string& subKey, KeyHandle belowKey);
    // The subkeys of an opened key as this run sees them, built again after a change.
    const std::vector<std::string>& MergedSubkeys(OpenedKey& opened);
    std::string ShownFile(const std::string& path) const;

    Machine& below;
    std::string scratchKey;  // the temporary folder's key; empty when there is none
    std::string scratchFolder;
    std::map<std::string, PathState> paths;  // by PathKey
    std::map<std::string, KeyState> keys;    // by KeyId
    std::map<KeyHandle, OpenedKey> opened;
    KeyHandle nextHandle = 1;
    std::vector<std::string> shadows;
    std::vector<std::pair<std::uint64_t, std::string>> commands;
    std::uint64_t changes = 0;
};

// What a dry run would have changed, after a line saying that nothing was, in UTF-8.
void PrintPlannedChanges(const OverlayMachine& machine, std::ostream& output,
                         const OverlayMachine::PathShown& shown);

}  // namespace parvane::cli
