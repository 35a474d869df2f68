#pragma once

// The package being installed: what classification found in the unpacked archive, completed
// by the later steps of the installation.

#include <string>
#include <vector>

#include "catalogue/Records.h"

namespace parvane {

inline constexpr int INSTALL_TYPE_NONE = 0;
inline constexpr int INSTALL_TYPE_COURSE = 1;
inline constexpr int INSTALL_TYPE_LIBRARY = 2;
inline constexpr int INSTALL_TYPE_LIBRARIES = 3;

// A package may carry at most this many library files; classification refuses one with more.
inline constexpr std::size_t MAX_PACKAGE_LIBRARIES = 8;

struct InstallRecord {
    int installType = INSTALL_TYPE_NONE;
    // The folder the course or library goes to, at most 255 characters; for several libraries
    // the fixed libraries folder, or empty when each library gets a folder of its own.
    std::string targetFolder;
    // The course of a course package; its file fields hold bare file names until the install
    // driver completes them.
    CourseRecord course;
    // One record per library file, in listing order; `skip` is set by course installation for
    // an included library that is not to be installed.
    std::vector<LibraryRecord> libraries;
};

// The process-wide record of the installation in progress.
InstallRecord& TheInstallRecord();
void ClearInstallRecord();
// A copy of the record, for the install dialogs.
InstallRecord GetInstallRecord();

}  // namespace parvane
