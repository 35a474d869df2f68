#pragma once

// files/ of the Wine backend, above paths/: the file and folder calls (here), folder listing
// (FolderListing), many statuses at once (FileStatuses), host file streams (HostFileStream),
// work shared among threads (ItemsOnThreads), temporary files (TempFiles), files replaced in
// one step (AtomicReplace), host errors as Windows errors (HostErrors) and durability
// (HostSync).
//
// The kernel32 file and folder calls over the Windows paths of a Wine prefix, with Windows'
// answers: a read-only file cannot be deleted or overwritten, a folder cannot be deleted as a
// file, and a move never replaces what exists.

#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

#include "platform/Machine.h"
#include "platform/Win32Codes.h"

namespace parvane::wine {

// Windows' FILETIME of a host time: 100-nanosecond ticks since 1601-01-01 UTC.
std::uint64_t FileTimeOf(const timespec& time);

// The status GetFileStatus gives for a name whose host status (of what a link leads to) is
// `target`.
FileStatus FileStatusOf(const struct stat& target, bool isLink, bool hidden);

// GetFileAttributesA: ATTR_DIRECTORY for folders, ATTR_ARCHIVE for files, ATTR_READONLY when
// the owner may not write, ATTR_HIDDEN for names starting with a dot (as Wine shows them),
// ATTR_REPARSE_POINT for a symbolic link (the last name only; a drive is never one).
Win32Error GetAttributes(const std::filesystem::path& prefix, const std::string& path,
                         std::uint32_t& attributes);
// GetFileAttributesExA: the attributes above, with the size and last write of the file (or of
// what a link leads to).
Win32Error GetFileStatus(const std::filesystem::path& prefix, const std::string& path,
                         FileStatus& fileStatus);
// CreateDirectoryA: ERR_ALREADY_EXISTS when anything has that name.
Win32Error MakeFolder(const std::filesystem::path& prefix, const std::string& path);
// RemoveDirectoryA; a symbolic link that does not lead to a file is removed itself.
Win32Error RemoveEmptyFolder(const std::filesystem::path& prefix, const std::string& path);
// DeleteFileA.
Win32Error RemoveFile(const std::filesystem::path& prefix, const std::string& path);
// CopyFileA with overwriting: the data and the permissions of the source.
Win32Error CopyFileOver(const std::filesystem::path& prefix, const std::string& source,
                        const std::string& target);
// MoveFileA: ERR_ALREADY_EXISTS when the target exists; a file is copied across devices.
Win32Error MoveFileTo(const std::filesystem::path& prefix, const std::string& source,
                      const std::string& target);
// MoveFileExA with replacing, copying across devices and writing through: the source's data
// is flushed to the disk, then a rename puts it in place of the target in one step.
Win32Error MoveFileOver(const std::filesystem::path& prefix, const std::string& source,
                        const std::string& target);
// GetLongPathNameA: every name spelled as on disk; ERR_FILE_NOT_FOUND when any is missing.
Win32Error LongPathName(const std::filesystem::path& prefix, const std::string& path,
                        std::string& longPath);
// GetDiskFreeSpaceExA: bytes available to the caller.
Win32Error FreeDiskSpace(const std::filesystem::path& prefix, const std::string& path,
                         std::uint64_t& bytes);

}  // namespace parvane::wine
