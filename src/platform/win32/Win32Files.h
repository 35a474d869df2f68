#pragma once

// The file and folder operations of the seam over kernel32 and the C runtime.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Machine.h"

namespace parvane::win32 {

Win32Error GetFileAttributesOf(const std::string& path, std::uint32_t& attributes);
Win32Error GetFileStatusOf(const std::string& path, FileStatus& status);
Win32Error MakeFolder(const std::string& path);
Win32Error RemoveEmptyFolder(const std::string& path);
Win32Error RemoveFile(const std::string& path);
Win32Error CopyFileOver(const std::string& source, const std::string& target);
Win32Error MoveFileTo(const std::string& source, const std::string& target);
Win32Error MoveFileOver(const std::string& source, const std::string& target);
Win32Error ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries);
Win32Error LongPathName(const std::string& path, std::string& longPath);
Win32Error FullPathName(const std::string& path, std::string& fullPath);
Win32Error TempPath(std::string& folder);
Win32Error UniqueTempFile(const std::string& folder, const std::string& prefix, std::string& path);
Win32Error FreeDiskSpace(const std::string& path, std::uint64_t& bytes);
std::unique_ptr<FileStream> OpenFileStream(const std::string& path, FileMode mode,
                                           Win32Error& error);
// The first `size` bytes of each file with its status, read through GetFileStatusOf and
// OpenFileStream by several threads at once.
void ReadFileStartsAtOnce(const std::vector<std::string>& paths, std::size_t size,
                          std::vector<FileStart>& starts);

}  // namespace parvane::win32
