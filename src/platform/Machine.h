#pragma once

// The seam between the program and the machine it runs on. Every registry, file, folder and
// process operation the program needs passes through this interface, in Win32 terms: paths are
// Windows paths in code page 1252, results are Win32 error numbers and registry status codes.
// The Win32 backend calls Windows; the Wine backend makes a Wine prefix look like Windows.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Win32Codes.h"

namespace parvane {

enum class Hive { ClassesRoot, CurrentUser, LocalMachine };

// An open registry key; 0 is no key.
using KeyHandle = std::uintptr_t;

// One entry of a folder listing, as FindFirstFileA/FindNextFileA report it.
struct FolderEntry {
    std::string name;
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
};

// What GetFileAttributesExA tells of a file or folder.
struct FileStatus {
    std::uint32_t attributes = ATTR_INVALID;
    std::uint64_t size = 0;      // 0 for a folder
    std::uint64_t modified = 0;  // last write: FILETIME ticks (100 ns since 1601), UTC
};

// The status of one path of many, with the error of taking it.
struct PathStatus {
    FileStatus status;
    Win32Error error = ERR_SUCCESS;
};

// The first bytes of a file, with the status of the file read and the error of opening or
// reading it.
struct FileStart {
    std::string bytes;
    FileStatus status;
    Win32Error error = ERR_SUCCESS;
};

// A byte stream over one open file (the runtime's FILE* in binary mode).
class FileStream {
  public:
    virtual ~FileStream() = default;
    // Reads up to `size` bytes; returns how many were read. Fewer than asked means the end of
    // the file or an error; Error() tells which.
    virtual std::size_t Read(void* buffer, std::size_t size) = 0;
    // Writes `size` bytes; returns how many were written. Fewer means an error, see Error().
    virtual std::size_t Write(const void* data, std::size_t size) = 0;
    // origin: 0 from the start, 1 from the current position, 2 from the end.
    virtual Win32Error Seek(std::int64_t offset, int origin) = 0;
    virtual std::int64_t Tell() = 0;
    // The error of the last Read, Write or Seek that failed, ERR_SUCCESS when none did.
    virtual Win32Error Error() const = 0;
    // Hands what was written to the system (the runtime's fflush): it survives the end of the
    // process, though not a power cut.
    virtual Win32Error Flush() = 0;
    // Puts what was written on the disk itself (the runtime's buffer, then the system's): when
    // it returns, the bytes survive a power cut, and so does the file's name in its folder.
    virtual Win32Error Sync() = 0;
    // Flushes and closes; the stream is unusable afterwards.
    virtual Win32Error Close() = 0;
};

enum class FileMode {
    Read,    // existing file, reading
    Write,   // created or truncated, writing
    Append,  // created when missing, writing at its end
};

class Machine {
  public:
    virtual ~Machine() = default;

    // Registry (advapi32). Status codes as the Reg*ExA calls return them. Keys of
    // HKEY_LOCAL_MACHINE\Software are seen in the 32-bit view, as the game sees them.
    //
    // Where a change becomes durable: on Windows, SetValue, CreateKey and DeleteKey change the
    // registry when they return. On the Wine backend the prefix's registry file is written
    // when the key through which a value was set or a key created is closed (CloseKey), and at
    // DeleteKey and DeleteSubkeys; a failure to write it is returned there (ERR_CANTWRITE, or
    // ERR_SHARING_VIOLATION while a wineserver serves the prefix) and the change is taken back:
    // it is neither on the disk nor shown. Every caller that changes the registry therefore
    // checks the CloseKey of the key it changed, and takes such a failure of a deletion as the
    // failure of that deletion.

    // RegOpenKeyExA with KEY_READ.
    virtual Win32Error OpenKey(Hive hive, const std::string& subKey, KeyHandle& key) = 0;
    // RegCreateKeyExA, non-volatile, KEY_ALL_ACCESS, with the given class for a new key.
    virtual Win32Error CreateKey(Hive hive, const std::string& subKey, const std::string& keyClass,
                                 KeyHandle& key) = 0;
    // RegEnumKeyExA with a name buffer of `capacity` characters (terminator included): a longer
    // name gives ERR_MORE_DATA, the end of the list ERR_NO_MORE_ITEMS.
    virtual Win32Error EnumKey(KeyHandle key, std::uint32_t index, std::uint32_t capacity,
                               std::string& name) = 0;
    // RegQueryValueExA with a data buffer of `capacity` bytes. String data comes back in code
    // page 1252 with its terminator, as the A entry point returns it; data longer than
    // `capacity` gives ERR_MORE_DATA. `valueName` empty is the default value.
    virtual Win32Error QueryValue(KeyHandle key, const std::string& valueName,
                                  std::uint32_t capacity, std::uint32_t& type,
                                  std::string& data) = 0;
    // RegSetValueExA with `data` as its bytes and their number as the length. String types are
    // stored with their terminator even when the length leaves it out, as Windows does.
    virtual Win32Error SetValue(KeyHandle key, const std::string& valueName, std::uint32_t type,
                                const std::string& data) = 0;
    // RegDeleteKeyA: the key must have no subkeys.
    virtual Win32Error DeleteKey(Hive hive, const std::string& subKey) = 0;
    // DeleteKey for each of `names` below `parentKey`, with one result per name, in order. The
    // Wine backend writes the registry file once for all of them, and when that write fails
    // every deletion it carried reports ERR_CANTWRITE; elsewhere they are deleted one by one.
    virtual void DeleteSubkeys(Hive hive, const std::string& parentKey,
                               const std::vector<std::string>& names,
                               std::vector<Win32Error>& results);
    virtual Win32Error CloseKey(KeyHandle key) = 0;
    // Text that changes whenever what the registry shows may have changed, so that what was
    // read from it can be kept beside the text and trusted while it stays the same. Empty when
    // the machine cannot tell: on Windows, and whenever the Wine backend cannot.
    virtual std::string RegistryStamp();
    // What the machine holds of the registry in memory may go until it is asked again: called
    // after a read of tens of thousands of keys, before the program builds what it read into
    // records, so that both are never held at once. It keeps everything while a key is open or
    // a change unsaved, and where it cannot tell that the registry would be read the same again.
    virtual void ReleaseRegistry();

    // Files and folders (kernel32). Each returns ERR_SUCCESS or the GetLastError value.

    // GetFileAttributesA. A symbolic link or junction carries ATTR_REPARSE_POINT (with
    // ATTR_DIRECTORY when it leads to a folder); the attributes are the link's own.
    virtual Win32Error GetAttributes(const std::string& path, std::uint32_t& attributes) = 0;
    // GetFileAttributesExA: the attributes as GetAttributes gives them, with the size and the
    // time of the last write of the file (a link's target).
    virtual Win32Error GetFileStatus(const std::string& path, FileStatus& status) = 0;
    // GetFileStatus for each of `paths`, in order. The Wine backend takes the statuses of
    // many files at once; elsewhere they are taken one by one.
    virtual void GetFileStatuses(std::span<const std::string_view> paths,
                                 std::vector<PathStatus>& statuses);
    // CreateDirectoryA: one level; ERR_ALREADY_EXISTS when something has that name.
    virtual Win32Error MakeFolder(const std::string& path) = 0;
    // RemoveDirectoryA: the folder must be empty. A link to a folder is removed itself; what
    // it leads to is not touched.
    virtual Win32Error RemoveEmptyFolder(const std::string& path) = 0;
    // DeleteFileA. A link to a file is removed itself.
    virtual Win32Error RemoveFile(const std::string& path) = 0;
    // CopyFileA with overwriting allowed.
    virtual Win32Error CopyFileOver(const std::string& source, const std::string& target) = 0;
    // MoveFileA: the target must not exist.
    virtual Win32Error MoveFileTo(const std::string& source, const std::string& target) = 0;
    // MoveFileExA with MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED |
    // MOVEFILE_WRITE_THROUGH: `source` (a file) takes the place of `target`, whether or not
    // `target` exists. Within one volume it is one step: the name always names either the old
    // file or the whole new one, and the new data is on the disk when the call returns. A
    // folder or a read-only file at `target` is not replaced (ERR_ACCESS_DENIED).
    virtual Win32Error MoveFileOver(const std::string& source, const std::string& target) = 0;
    // FindFirstFileA/FindNextFileA/FindClose over a folder and a wildcard pattern in its last
    // component ("C:\x\*.*"), with Windows' matching rules; "." and ".." are listed as
    // Windows lists them. No match gives ERR_FILE_NOT_FOUND, a missing folder
    // ERR_PATH_NOT_FOUND.
    virtual Win32Error ListFolder(const std::string& pattern,
                                  std::vector<FolderEntry>& entries) = 0;
    // GetLongPathNameA: the path with every component as the file system spells it.
    virtual Win32Error LongPathName(const std::string& path, std::string& longPath) = 0;
    // GetFullPathNameA, then GetLongPathNameA: the absolute path (a relative one taken from the
    // current folder) with every component as the file system spells it, so that a relative
    // or short (8.3) spelling compares equal to the long one.
    virtual Win32Error FullPathName(const std::string& path, std::string& fullPath) = 0;
    // GetTempPathA: the temporary folder, ending in a backslash.
    virtual Win32Error TempPath(std::string& folder) = 0;
    // GetTempFileNameA with unique number 0: creates an empty file "<prefix><hex>.tmp" in
    // `folder` and returns its path.
    virtual Win32Error UniqueTempFile(const std::string& folder, const std::string& prefix,
                                      std::string& path) = 0;
    // GetDiskFreeSpaceExA: bytes available to the caller on the volume holding `path`.
    virtual Win32Error FreeDiskSpace(const std::string& path, std::uint64_t& bytes) = 0;
    // The runtime's fopen in binary mode; null with `error` set on failure.
    virtual std::unique_ptr<FileStream> OpenFile(const std::string& path, FileMode mode,
                                                 Win32Error& error) = 0;
    // The first `size` bytes of each of `paths` (fewer when the file is shorter), as OpenFile
    // and Read give them, with the file's status as GetFileStatus gives it. Both backends read
    // several files at once; a machine that wraps another reads them one by one.
    virtual void ReadFileStarts(const std::vector<std::string>& paths, std::size_t size,
                                std::vector<FileStart>& starts);

    // Text (kernel32's code page conversions).

    // The name of a zip archive entry in code page 1252, composed: `bytes` are UTF-8 when
    // `isUtf8` (the entry's flag bit 11), otherwise the packer's OEM code page (437, or the
    // system's OEM code page on Windows). ERR_NO_UNICODE_TRANSLATION when a character has no
    // place in code page 1252 or the bytes are malformed; `name` then shows each as '?'.
    virtual Win32Error ArchiveNameToAnsi(const std::string& bytes, bool isUtf8,
                                         std::string& name) = 0;

    // Processes and the shell.

    // GetModuleFileNameA of the program itself.
    virtual Win32Error ModulePath(std::string& path) = 0;
    // The image names (file name only) of the running processes, from a toolhelp snapshot.
    virtual Win32Error ProcessImageNames(std::vector<std::string>& names) = 0;
    // WinExec with SW_SHOWNORMAL: above 31 on success.
    virtual std::uint32_t RunCommand(const std::string& commandLine) = 0;
};

// The process-wide machine, set once at start-up and by each test fixture.
Machine& TheMachine();
void SetMachine(Machine* machine);

}  // namespace parvane
