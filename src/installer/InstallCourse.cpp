#include "installer/InstallCourse.h"

#include <map>
#include <set>
#include <string>
#include <vector>

#include "archive/FileCompare.h"
#include "archive/Folders.h"
#include "archive/OriginLists.h"
#include "archive/TempExtractionFolder.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Guid.h"
#include "catalogue/Registration.h"
#include "catalogue/StockContent.h"
#include "installer/InstallRecord.h"
#include "installer/PlaceFile.h"
#include "platform/AsciiCase.h"
#include "properties/Properties.h"

namespace parvane {

namespace {

constexpr int HOLE_COUNT = 18;

// The unpacked file that a completed path of the package was made from.
std::string NewFile(const std::string& field) {
    return JoinPath(GetTempExtractionFolder(), GetFileNamePart(field));
}

bool CheckCourseNotInstalled(const CourseRecord& course) {
    if (!IsCourseKnown(course.guidText)) {
        return true;
    }
    const CourseRecord* installed = FindCourse(course.guidText);
    if (FilesDiffer(NewFile(course.filename), installed->filename)) {
        ShowError(
            "Parvane has detected that the course '%s'\nis already installed as '%s' on your "
            "system, and the\ncontents of the course file on your system differs from the "
            "contents of\nthe course file you are about to install. Either the designer made "
            "an upgrade\nto an old course, or made a mistake by reusing an old course source "
            "file when\ncreating a new course. Please notify the site from which you "
            "downloaded the\ncourse about the situation.\n\nTo properly install this course "
            "you need to uninstall your copy of the course\nand then try to install the "
            "course again.",
            course.name.c_str(), installed->name.c_str());
    } else {
        ShowError(
            "You are trying to install '%s',\nbut that course is already installed on "
            "your system.",
            course.name.c_str());
    }
    return false;
}

// Marks the included libraries that are stock or already installed with the same content as
// skipped; false when one is installed with other content.
bool CheckIncludedLibraries(std::vector<LibraryRecord>& libraries) {
    for (LibraryRecord& library : libraries) {
        if (!IsLibraryKnown(library.guidText)) {
            continue;
        }
        if (IsStockLibrary(library.guidText)) {
            ShowError(
                "The included library '%s' is a stock library!\n\nIt should not be included "
                "in the course distribution archive.\nDoing so is potentially dangerous and "
                "may affect the game behaviour\nand could even corrupt the game installation. "
                "You should notify the site\nfrom where you downloaded this course about the "
                "situation.\n\nParvane will ignore this library.",
                library.name.c_str());
            library.skip = true;
            continue;
        }
        const LibraryRecord* installed = FindLibrary(library.guidText);
        if (!FilesDiffer(NewFile(library.filename), installed->filename)) {
            ShowInformation(
                "The included library '%s' is already installed on your system.\nThis library "
                "will be ignored.",
                library.name.c_str());
            library.skip = true;
            continue;
        }
        ShowError(
            "Parvane has detected that the included library '%s'\nis already installed as '%s' "
            "on your system, and the\ncontents of the library file on your system differs from "
            "the contents of\nthe library file you are about to install. Either the designer "
            "made an upgrade\nto an old library, or made a mistake by reusing an old library "
            "source file when\ncreating a new library. Please notify the site from which you "
            "downloaded the\nlibrary about the situation.\n\nTo properly install this course "
            "you need to uninstall your copy of the library\nand then try to install the "
            "course again. Please note that if you choose to install\na new version of the "
            "offending library, courses that uses the older version of the library\nmay not "
            "work properly anymore.\n\nThe installation will now be cancelled.",
            library.name.c_str(), installed->name.c_str());
        return false;
    }
    return true;
}

bool AcceptRenamedLibrary(const std::string& referencedName, const LibraryRecord& installed) {
    if (installed.headerName == referencedName) {
        return true;
    }
    return AskYesNo(
               ANSWER_NO,
               "WARNING - Parvane has detected that the referenced library '%s'\nis already "
               "installed as '%s' on your system.\n\nEither the designer made an upgrade to an "
               "old library, or made a mistake by reusing\nan old library source file when "
               "creating a new library. Please notify the\nsite from which you downloaded the "
               "course about the situation.\n\nTo properly install this course you need to "
               "uninstall your copy of the library\nand then try to install the new library and "
               "the course again. Please note that if\nyou choose to install a new version of "
               "the offending library, courses that uses the\nolder version of the library may "
               "not work properly anymore.\n\nContinue anyway?",
               referencedName.c_str(), installed.headerName.c_str()) == ANSWER_YES;
}

bool AcceptMissingLibrary(const std::string& referencedName, InstallResult& result) {
    if (AskYesNo(ANSWER_NO,
                 "The course you are installing requires the following library:\n\n%s\n\n"
                 "However, this library is not installed on your system, and it is not\n"
                 "included in the installation archive. This means that the course\nwill not "
                 "be playable until you install the missing library.\n\nContinue anyway?",
                 referencedName.c_str()) != ANSWER_YES) {
        return false;
    }
    result.missingLibraryNames.push_back(referencedName);
    return true;
}

bool CheckReferencedLibraries(const CourseRecord& course, InstallResult& result) {
    const bool warnOnCloaked = IsPropertyOn(PROPERTY_WARN_ON_CLOAKED_LIBRARIES);
    for (int slot = 0; slot < course.libraryCount && slot < MAX_REFERENCED_LIBRARIES; ++slot) {
        const std::string guidText = GuidToText(course.libraryGuids[slot]);
        const std::string name(LibraryNameInSlot(course, slot));
        if (IsLibraryKnown(guidText)) {
            if (!AcceptRenamedLibrary(name, *FindLibrary(guidText))) {
                return false;
            }
        } else if (!IsPackageLibrary(guidText) && !AcceptMissingLibrary(name, result)) {
            return false;
        }
        if (warnOnCloaked && IsLibraryCloaked(guidText)) {
            ShowWarning(
                "The library '%s' is installed on your system, but it\nis currently cloaked. "
                "You need to uncloak this library before playing\nthe course you are "
                "installing.",
                name.c_str());
        }
    }
    return true;
}

// One unpacked file of the package and one place it goes to.
struct Placement {
    std::string source;
    std::string destination;
};

// The files that stood in one of the package's special folders, into that subfolder of the
// course's folder. A name listed twice (from two such folders) was unpacked once.
void AddSpecialFolder(const std::vector<std::string>& names, const std::string& folder,
                      std::vector<Placement>& placements) {
    const std::string unpacked = GetTempExtractionFolder();
    std::set<std::string> added;
    for (const std::string& name : names) {
        if (added.insert(ToUpperAscii(name)).second) {
            placements.push_back({JoinPath(unpacked, name), JoinPath(folder, name)});
        }
    }
}

// Every placement of the package, in the order they are made: the course file, its
// libraries, the hole audio, the companion files, then the prv and sounds folders.
std::vector<Placement> PackagePlacements(const InstallRecord& record) {
    const CourseRecord& course = record.course;
    std::vector<Placement> placements = {{NewFile(course.filename), course.filename}};
    for (const LibraryRecord& library : record.libraries) {
        if (!library.skip) {
            placements.push_back({NewFile(library.filename), library.filename});
        }
    }
    if (!course.audio.empty()) {
        const std::string unpacked = GetTempExtractionFolder();
        for (int hole = 1; hole <= HOLE_COUNT; ++hole) {
            const std::string name = "hole" + std::to_string(hole) + ".mp3";
            placements.push_back({JoinPath(unpacked, name), course.audio + name});
        }
    }
    for (const std::string* field :
         {&course.flag, &course.music, &course.logo, &course.picture, &course.text, &course.iniFile,
          &course.soundIniFile, &course.stationeryFile, &course.caddyBookFile}) {
        if (!field->empty()) {
            placements.push_back({NewFile(*field), *field});
        }
    }
    AddSpecialFolder(GetPrvFiles(), record.targetFolder + "\\prv", placements);
    AddSpecialFolder(GetSoundsFiles(), record.targetFolder + "\\sounds", placements);
    return placements;
}

// One unpacked file may go to several places (a prv file that is also the music, a sound
// beside the hole audio): it is copied to all but the last and moved there, so that it is
// still there for each copy. A move costs nothing within a drive.
bool PlacePackageFiles(const InstallRecord& record) {
    if (!CreateFolderPath(record.targetFolder)) {
        return false;
    }
    const std::vector<Placement> placements = PackagePlacements(record);
    std::map<std::string, std::size_t> lastUse;
    for (std::size_t index = 0; index < placements.size(); ++index) {
        lastUse[ToUpperAscii(placements[index].source)] = index;
    }
    for (std::size_t index = 0; index < placements.size(); ++index) {
        const Placement& placement = placements[index];
        const bool isLastUse = lastUse[ToUpperAscii(placement.source)] == index;
        if (!(isLastUse ? PlaceUnpackedFile(placement.source, placement.destination)
                        : PlaceFile(placement.source, placement.destination))) {
            return false;
        }
    }
    return true;
}

bool RegisterPackage(InstallRecord& record) {
    if (!RegisterCourse(record.course)) {
        return false;
    }
    for (LibraryRecord& library : record.libraries) {
        if (!library.skip && !RegisterLibrary(library)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsPackageLibrary(std::string_view guidText) {
    for (const LibraryRecord& library : TheInstallRecord().libraries) {
        if (library.guidText == guidText) {
            return true;
        }
    }
    return false;
}

bool InstallCourse(InstallResult& result) {
    InstallRecord& record = TheInstallRecord();
    result.courseName = record.course.name;
    return CheckCourseNotInstalled(record.course) && CheckIncludedLibraries(record.libraries) &&
           CheckReferencedLibraries(record.course, result) && PlacePackageFiles(record) &&
           RegisterPackage(record);
}

}  // namespace parvane
