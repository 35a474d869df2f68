#pragma once

// Reading a registry file of the prefix into a HiveTree, and writing it back safely: the new text
// goes into a temporary file beside the original, is flushed to the disk, and replaces the
// original by a rename, so that a failure at any point leaves the old file whole.

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/wine/registry/RegistryHive.h"

namespace parvane::wine {

// False with a message naming the file (and the line, for text not in Wine's format).
bool ReadHiveFile(const std::filesystem::path& path, HiveTree& hive, std::string& errorMessage);

// False with a message naming the file; the original is then untouched.
bool WriteHiveFile(const std::filesystem::path& path, const HiveTree& hive,
                   std::string& errorMessage);

// Replaces the file at `path` (or, when it is a symbolic link, the file it points to) with
// `content`, atomically.
bool ReplaceFileContent(const std::filesystem::path& path, std::string_view content,
                        std::string& errorMessage);

}  // namespace parvane::wine
