#include "installer/ClassifyPackage.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "archive/OriginLists.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "catalogue/Guid.h"
#include "catalogue/HeaderReaders.h"
#include "installer/ContentFolders.h"
#include "installer/InstallRecord.h"
#include "platform/AsciiCase.h"
#include "platform/Machine.h"
#include "properties/Properties.h"

namespace parvane {

namespace {

// No text file is this large; a .txt file of this size or more is chosen only from a .tcx.
constexpr std::uint64_t NO_TEXT_SIZE = 999999999;

struct Scan {
    const std::string& folder;
    InstallRecord& record;
    std::uint64_t smallestTextSize = NO_TEXT_SIZE;
    bool courseSeen = false;
    bool librarySeen = false;
};

std::string FilePath(const Scan& scan, const std::string& fileName) {
    return JoinPath(scan.folder, fileName);
}

bool TakeCourseFile(Scan& scan, const std::string& fileName) {
    const std::string path = FilePath(scan, fileName);
    NameAndGuid header;
    if (!GetHeaderNameAndGuid(path, header)) {
        ShowError("Couldn't get course name from file '%s'", path.c_str());
        return false;
    }
    ReferencedNames names;
    if (!GetReferencedLibraryNames(path, names)) {
        ShowError("Couldn't get library names from file '%s'", path.c_str());
        return false;
    }
    ReferencedGuids guids;
    if (!GetReferencedLibraryGuids(path, guids)) {
        ShowError("Couldn't get library GUIDs from file '%s'", path.c_str());
        return false;
    }
    scan.courseSeen = true;
    CourseRecord& course = scan.record.course;
    course.libraryNames.assign(names.names.begin(), names.names.begin() + names.count);
    course.libraryGuids.assign(guids.guids.begin(), guids.guids.begin() + guids.count);
    course.libraryCount = guids.count;
    course.guidText = GuidToText(header.guid);
    course.name = header.name;
    course.filename = fileName;
    return true;
}

bool TakeLibraryFile(Scan& scan, const std::string& fileName) {
    const std::string path = FilePath(scan, fileName);
    if (scan.record.libraries.size() >= MAX_PACKAGE_LIBRARIES) {
        ShowError(
            "The installation archive holds more than %d library files ('%s' is one too "
            "many).\nParvane installs at most %d libraries from one package.",
            static_cast<int>(MAX_PACKAGE_LIBRARIES), fileName.c_str(),
            static_cast<int>(MAX_PACKAGE_LIBRARIES));
        return false;
    }
    NameAndGuid header;
    if (!GetHeaderNameAndGuid(path, header)) {
        ShowError("Couldn't get library name from file '%s'", path.c_str());
        return false;
    }
    scan.librarySeen = true;
    LibraryRecord library;
    library.guid = header.guid;
    library.guidText = GuidToText(header.guid);
    library.filename = fileName;
    library.name = header.name;
    library.headerName = header.name;
    scan.record.libraries.push_back(library);
    return true;
}

void TakeTextFile(Scan& scan, const FolderEntry& entry) {
    if (IsTcxFile(entry.name)) {
        scan.record.course.text = entry.name;
        scan.smallestTextSize = 0;
    } else if (entry.size < scan.smallestTextSize) {
        scan.record.course.text = entry.name;
        scan.smallestTextSize = entry.size;
    }
}

// A sound or picture candidate: the first one listed, unless a later one came from a .tcx.
void TakeCandidate(std::string& field, const std::string& fileName) {
    if (field.empty() || IsTcxFile(fileName)) {
        field = fileName;
    }
}

void TakeMp3File(Scan& scan, const std::string& fileName) {
    if (IsSoundsFile(fileName)) {
        return;
    }
    if (StartsWithNoCase(fileName, "hole") && fileName.size() <= 10) {
        // The mark that the package carries per-hole audio; installation makes it the folder.
        scan.record.course.audio.assign(1, '.');
    } else {
        TakeCandidate(scan.record.course.music, fileName);
    }
}

void TakeDdsFile(Scan& scan, const std::string& fileName) {
    if (IsPrvFile(fileName)) {
        return;
    }
    if (EqualsNoCase(fileName, "flag.dds")) {
        scan.record.course.flag = fileName;
    } else if (EqualsNoCase(fileName, "logo.dds")) {
        scan.record.course.logo = fileName;
    } else {
        ShowWarning(
            "Parvane cannot detect whether the file '%s' is a splash screen, a flag or a "
            "logo.\nThis file will be ignored.",
            fileName.c_str());
    }
}

void TakeIniFile(Scan& scan, const std::string& fileName) {
    if (IsPrvFile(fileName)) {
        return;
    }
    if (EqualsNoCase(fileName, "snd.ini")) {
        scan.record.course.soundIniFile = fileName;
    } else {
        scan.record.course.iniFile = fileName;
    }
}

// The rules in order; the first whose name test matches decides, even when it then ignores
// the file.
bool ClassifyFile(Scan& scan, const FolderEntry& entry) {
    const std::string& name = entry.name;
    CourseRecord& course = scan.record.course;
    if (EndsWithNoCase(name, ".tcr")) {
        return TakeCourseFile(scan, name);
    }
    if (EndsWithNoCase(name, ".tcl")) {
        return TakeLibraryFile(scan, name);
    }
    if (EndsWithNoCase(name, ".txt")) {
        TakeTextFile(scan, entry);
    } else if (EndsWithNoCase(name, ".rtf") || EndsWithNoCase(name, ".htm")) {
        ShowWarning(
            "The file '%s' appears to be the course text, but the format is not "
            "supported by GV06\nThis file will be ignored.",
            name.c_str());
    } else if (EndsWithNoCase(name, ".mp3")) {
        TakeMp3File(scan, name);
    } else if (EndsWithNoCase(name, ".dds")) {
        TakeDdsFile(scan, name);
    } else if (EndsWithNoCase(name, ".bmp") || EndsWithNoCase(name, ".tga")) {
        if (!IsPrvFile(name)) {
            TakeCandidate(course.picture, name);
        }
    } else if (EndsWithNoCase(name, ".wav")) {
        if (!IsSoundsFile(name) && !IsPrvFile(name)) {
            TakeCandidate(course.music, name);
        }
    } else if (EndsWithNoCase(name, ".ini")) {
        TakeIniFile(scan, name);
    } else if (EndsWithNoCase(name, ".stn")) {
        course.stationeryFile = name;
    } else if (EndsWithNoCase(name, ".tcn")) {
        course.caddyBookFile = name;
    }
    return true;
}

// The type and folder of the package, decided once every file is known: the last course file
// listed makes a course package, whose included libraries go into the course's folder; without
// one, a single library has its folder, and several get theirs one by one at installation.
// Only a folder that will be used is checked.
bool SettleTypeAndFolder(Scan& scan) {
    InstallRecord& record = scan.record;
    if (scan.courseSeen) {
        record.installType = INSTALL_TYPE_COURSE;
        return CourseTargetFolder(record.course.name, FilePath(scan, record.course.filename),
                                  record.targetFolder);
    }
    if (record.libraries.size() == 1) {
        record.installType = INSTALL_TYPE_LIBRARY;
        const LibraryRecord& library = record.libraries.front();
        return LibraryTargetFolder(library.name, FilePath(scan, library.filename),
                                   record.targetFolder);
    }
    record.installType = INSTALL_TYPE_LIBRARIES;
    if (!IsPropertyOn(PROPERTY_USE_DEFAULT_LIBRARY_FOLDER)) {
        record.targetFolder = GetProperty(PROPERTY_LIBRARY_FOLDER);
    }
    return true;
}

bool ListPackageFiles(const std::string& folder, std::vector<FolderEntry>& entries) {
    const Win32Error error = TheMachine().ListFolder(folder + "\\*.*", entries);
    if (error == ERR_SUCCESS || error == ERR_FILE_NOT_FOUND) {
        return true;
    }
    ShowError("Couldn't list the folder '%s', error code=%d", folder.c_str(),
              static_cast<int>(error));
    return false;
}

}  // namespace

bool ClassifyPackage(const std::string& folder) {
    ClearInstallRecord();
    std::vector<FolderEntry> entries;
    if (!ListPackageFiles(folder, entries)) {
        return false;
    }
    Scan scan{folder, TheInstallRecord()};
    for (const FolderEntry& entry : entries) {
        if ((entry.attributes & ATTR_DIRECTORY) != 0) {
            continue;
        }
        if (!ClassifyFile(scan, entry)) {
            return false;
        }
    }
    if (!scan.courseSeen && !scan.librarySeen) {
        ShowError(
            "The installation archive you selected does not appear\nto be a course or "
            "library package.");
        return false;
    }
    return SettleTypeAndFolder(scan);
}

}  // namespace parvane
