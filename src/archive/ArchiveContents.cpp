#include "archive/ArchiveContents.h"

#include <functional>

#include "archive/EntryNames.h"
#include "archive/Folders.h"
#include "archive/ZipReader.h"
#include "archive/ZipWalk.h"
#include "base/PathText.h"
#include "platform/AsciiCase.h"

namespace parvane {

namespace {

// Calls `visit` with the name of every entry in archive order; false after an Error box.
bool VisitEntryNames(const std::string& archivePath,
                     const std::function<void(const std::string&)>& visit) {
    ZipReader reader(archivePath);
    return ReadArchiveInfo(reader) && ForEachEntry(reader, [&](const ZipEntryInfo& info) {
               if (!IsPackerLeftover(info.name)) {
                   visit(info.name);
               }
               return true;
           });
}

struct EntryCounts {
    int zips = 0;
    int courses = 0;
    int libraries = 0;
};

// Names are taken as Windows will write them, so that "x.tcr." counts as the course it becomes.
void CountEntry(const std::string& entryName, EntryCounts& counts) {
    const std::string name = WindowsFileName(entryName);
    if (EndsWithNoCase(name, ".zip")) {
        ++counts.zips;
    } else if (EndsWithNoCase(name, ".tcr") || EndsWithNoCase(name, ".tcx")) {
        ++counts.courses;
    } else if (EndsWithNoCase(name, ".tcl")) {
        ++counts.libraries;
    }
}

ArchiveKind KindOf(const EntryCounts& counts) {
    if (counts.courses > 0) {
        return ARCHIVE_KIND_COURSE;
    }
    if (counts.libraries == 1) {
        return ARCHIVE_KIND_LIBRARY;
    }
    if (counts.libraries > 1) {
        return ARCHIVE_KIND_LIBRARIES;
    }
    if (counts.zips > 0) {
        return ARCHIVE_KIND_MYZIP;
    }
    return ARCHIVE_KIND_NONE;
}

}  // namespace

ArchiveKind ClassifyArchive(const std::string& archivePath) {
    if (EndsWithNoCase(archivePath, ".tcl")) {
        return ARCHIVE_KIND_LIBRARY;
    }
    EntryCounts counts;
    if (!VisitEntryNames(archivePath,
                         [&counts](const std::string& name) { CountEntry(name, counts); })) {
        return ARCHIVE_KIND_NONE;
    }
    return KindOf(counts);
}

bool ListArchiveEntries(const std::string& archivePath, const std::string& extension,
                        std::vector<std::string>& paths) {
    const std::string folder = GetFolderPart(archivePath);
    std::vector<std::string> found;
    if (!VisitEntryNames(archivePath, [&](const std::string& name) {
            if (EndsWithNoCase(WindowsFileName(name), extension)) {
                found.push_back(JoinPath(folder, name));
            }
        })) {
        return false;
    }
    paths.insert(paths.end(), found.begin(), found.end());
    return true;
}

}  // namespace parvane
