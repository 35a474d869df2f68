#pragma once

// The one way the installer puts a file in place: folders are created as needed, an existing
// file is replaced only as the overwrite setting allows, and the destination always holds
// either the old file or the whole new one.

#include <string>

namespace parvane {

// Copies `source` to `destination`. True when the installation may go on: the file was
// copied, there was nothing to copy (no source, or a source that does not exist), or the user
// chose to keep the existing file. False, after a message, when it must stop: a folder or a
// read-only file stands at the destination, the user cancelled, or the copy failed.
bool PlaceFile(const std::string& source, const std::string& destination);

// PlaceFile for a file unpacked for this installation, which is moved rather than copied: the
// extraction folder goes after the installation anyway, and within a drive a move costs nothing.
bool PlaceUnpackedFile(const std::string& source, const std::string& destination);

}  // namespace parvane
