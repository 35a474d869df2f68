#pragma once

// The runtime's binary file streams over the files of a Wine prefix.

#include <filesystem>
#include <memory>
#include <string>

#include "platform/Machine.h"

namespace parvane::wine {

// fopen in binary mode ("rb" or "wb"). As on Windows, a folder cannot be opened (ERR_ACCESS_DENIED)
// and a read-only file cannot be opened for writing.
std::unique_ptr<FileStream> OpenFile(const std::filesystem::path& prefix, const std::string& path,
                                     FileMode mode, Win32Error& error);

}  // namespace parvane::wine
