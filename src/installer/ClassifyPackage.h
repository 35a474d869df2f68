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
// gets its folder (ContentFolders.h) when it is installed.
bool ClassifyPackage(const std::string& folder);

}  // namespace parvane
