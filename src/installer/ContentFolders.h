#pragma once

// The folders courses and libraries go to by default: "<TargetFolder>\courses\<name>" and
// "<TargetFolder>\libraries\<name>", or the LibraryFolder setting for libraries.

#include <string>

namespace parvane {

// A display name as a folder name Windows accepts and that stays inside its parent: the
// characters Windows forbids, control characters and trailing dots and blanks removed; empty
// when nothing usable is left (only forbidden characters, "..", a device name such as CON).
std::string SafeFolderName(const std::string& displayName);

// The default folder of the course named `courseName`, read from `coursePath`. False after an
// Error naming the file when the name gives no usable folder name, or the folder would be
// longer than 255 characters.
bool CourseTargetFolder(const std::string& courseName, const std::string& coursePath,
                        std::string& folder);

// The folder a library goes to: its default folder while UseDefaultLibraryFolder is on (with
// the refusals of CourseTargetFolder), otherwise the LibraryFolder property as it stands.
bool LibraryTargetFolder(const std::string& libraryName, const std::string& libraryPath,
                         std::string& folder);

}  // namespace parvane
