#pragma once

// The runtime's binary file streams over the files of a Wine prefix.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/Machine.h"

namespace parvane::wine {

// fopen in binary mode ("rb" or "wb"). As on Windows, a folder cannot be opened (ERR_ACCESS_DENIED)
// and a read-only file cannot be opened for writing.
std::unique_ptr<FileStream> OpenFile(const std::filesystem::path& prefix, const std::string& path,
                                     FileMode mode, Win32Error& error);

// The first `size` bytes of each file, with its status and error, as OpenFile, Read and
// GetFileStatus give them. The paths are found one after the other; the files are opened and
// read by several threads at once, so that the disk has many reads to serve together.
void ReadFileStarts(const std::filesystem::path& prefix, const std::vector<std::string>& paths,
                    std::size_t size, std::vector<FileStart>& starts);

}  // namespace parvane::wine
