#pragma once

#include <string>

namespace parvane {

// Looks at every file of the unpacked package in `folder` once, in listing order, and fills
// the install record: install type, target folder, the course's files and headers, and one
// record per library file. The origin lists of the extraction decide where files came from.
// False after a message when a header cannot be read, the package holds nothing installable
// or more than 8 library files, or the name of the course, or of the one library of a library
// package, gives no usable target folder. A package of several libraries has no target folder
// of its own unless the libraries folder is fixed (UseDefaultLibraryFolder off): each library
// gets its folder from LibraryTargetFolder when it is installed.
bool ClassifyPackage(const std::string& folder);

// The folder a library goes to: "<TargetFolder>\libraries\<its name as a safe folder name>"
// while UseDefaultLibraryFolder is on, otherwise the LibraryFolder property as it stands. False
// after an Error box naming `libraryPath` when the name gives no usable folder name or the
// folder would be longer than 255 characters.
bool LibraryTargetFolder(const std::string& libraryName, const std::string& libraryPath,
                         std::string& folder);

}  // namespace parvane
