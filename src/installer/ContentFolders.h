#pragma once

// The folders under the TargetFolder setting where courses and libraries go by default:
// "<TargetFolder>\courses\<name>" and "<TargetFolder>\libraries\<name>".

#include <string>

namespace parvane {

// A display name as a folder name Windows accepts and that stays inside its parent: the
// characters Windows forbids, control characters and trailing dots and blanks removed; empty
// when nothing usable is left (only forbidden characters, "..", a device name such as CON).
std::string SafeFolderName(const std::string& displayName);

// The default folder of a library named `displayName`, read from `filePath`. False after an
// Error naming the file when the name gives no usable folder name, or the folder would be
// longer than 255 characters.
bool DefaultLibraryFolder(const std::string& displayName, const std::string& filePath,
                          std::string& folder);

}  // namespace parvane
