#include "installer/InstallArchive.h"

#include <cstdint>

#include "archive/ExtractArchive.h"
#include "archive/Folders.h"
#include "archive/OriginLists.h"
#include "archive/TempExtractionFolder.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "installer/ClassifyPackage.h"
#include "installer/ConfirmInstall.h"
#include "installer/FlagFileDialog.h"
#include "installer/InstallCourse.h"
#include "installer/InstallLibrary.h"
#include "installer/InstallPaths.h"
#include "installer/InstallRecord.h"
#include "installer/PlaceFile.h"
#include "installer/RenamingChecks.h"
#include "installer/TargetFolderDialog.h"
#include "journal/Change.h"
#include "platform/AsciiCase.h"
#include "platform/Machine.h"
#include "properties/Properties.h"

namespace parvane {

namespace {

bool Exists(const std::string& path) {
    std::uint32_t attributes = 0;
    return TheMachine().GetAttributes(path, attributes) == ERR_SUCCESS;
}

// A folder left behind by an earlier installation of this run would mix its files into this
// package: every installation starts from an empty folder.
bool RemoveLeftoverFolder(const std::string& folder) {
    if (!Exists(folder)) {
        return true;
    }
    RemoveFolder(folder);
    if (!Exists(folder)) {
        return true;
    }
    ShowError(
        "The temporary folder '%s' of an earlier installation could not be removed.\nRemove it "
        "and try the installation again.",
        folder.c_str());
    return false;
}

// A bare library file is a package of its own: it is copied into the folder as it stands.
bool UnpackLibraryFile(const std::string& libraryPath, const std::string& folder) {
    const Win32Error error = TheMachine().MakeFolder(folder);
    if (error != ERR_SUCCESS) {
        ShowError("Couldn't create directory '%s', error code=%d", folder.c_str(),
                  static_cast<int>(error));
        return false;
    }
    return PlaceFile(libraryPath, JoinPath(folder, GetFileNamePart(libraryPath)));
}

bool Unpack(const std::string& archivePath, const std::string& folder) {
    if (EndsWithNoCase(archivePath, ".tcl")) {
        return UnpackLibraryFile(archivePath, folder);
    }
    // Unpacking shows its own progress (the wait cursor, the terminal's progress line).
    return ExtractArchive(archivePath, folder, true);
}

// The change's name in the journal and the history: the course's, else the libraries'.
std::string ChangeTitle(const InstallRecord& record) {
    if (record.installType == INSTALL_TYPE_COURSE) {
        return record.course.name;
    }
    std::string names;
    for (const LibraryRecord& library : record.libraries) {
        names += (names.empty() ? "" : ", ") +
                 (library.name.empty() ? GetFileNamePart(library.filename) : library.name);
    }
    return names;
}

// One change for the whole package: libraries of several that fail are undone alone, and the
// others are committed together.
bool InstallLibrariesOneByOne(const std::string& archivePath) {
    if (AskYesNo(ANSWER_YES,
                 "Parvane has detected that the archive you are installing contains\nmultiple "
                 "libraries and will now attempt to install them one by one.\n\nOk to proceed "
                 "with the installation?") != ANSWER_YES ||
        !BeginChange(ChangeKind::Install, ChangeTitle(TheInstallRecord()), archivePath)) {
        return false;
    }
    const bool all = InstallSeveralLibraries();
    return EndChange(true) && all;
}

// The user may pick a flag for a course that has none; a file that cannot be used is left out
// and the course is installed without a flag.
void AskForFlag(const std::string& folder, CourseRecord& course) {
    ShowInformation(
        "The course being installed does not have an associated flag.\nSince you have enabled "
        "the option to ask for one, you will now\nbe able to select a custom flag.\n\nYou can "
        "press Cancel in the next dialog to skip the flag assignment.");
    std::string chosen;
    if (!FlagFileDialog(chosen) || chosen.empty()) {
        return;
    }
    if (!EndsWithNoCase(chosen, ".dds")) {
        ShowError("The selected file is not a DDS file and will be ignored");
        return;
    }
    const std::string name = GetFileNamePart(chosen);
    if (PlaceFile(chosen, JoinPath(folder, name))) {
        course.flag = name;
    }
}

void AskCourseQuestions(const std::string& folder, CourseRecord& course) {
    RunRenamingChecks(folder, course);
    if (IsPropertyOn(PROPERTY_ASK_FOR_FLAG) && course.flag.empty()) {
        AskForFlag(folder, course);
    }
}

bool InstallClassifiedPackage(const std::string& archivePath, InstallResult& result) {
    InstallRecord& record = TheInstallRecord();
    if (IsPropertyOn(PROPERTY_ASK_FOR_TARGET_FOLDER) && !TargetFolderDialog(record.targetFolder)) {
        return false;
    }
    if (!CompleteInstallPaths()) {
        return false;
    }
    if ((IsPropertyOn(PROPERTY_ASK_FOR_INSTALL_PROCEED) && !ConfirmInstall()) ||
        !BeginChange(ChangeKind::Install, ChangeTitle(record), archivePath)) {
        return false;
    }
    return EndChange(record.installType == INSTALL_TYPE_COURSE ? InstallCourse(result)
                                                               : InstallLibrary(0));
}

}  // namespace

bool InstallArchive(const std::string& archivePath, InstallResult& result) {
    const std::string folder = GetTempExtractionFolder();
    if (folder.empty() || !RemoveLeftoverFolder(folder)) {
        return false;
    }
    ClearOriginLists();
    if (!Unpack(archivePath, folder)) {
        return false;
    }
    ClearInstallRecord();
    if (!ClassifyPackage(folder)) {
        return false;
    }
    InstallRecord& record = TheInstallRecord();
    if (record.installType == INSTALL_TYPE_LIBRARIES) {
        return InstallLibrariesOneByOne(archivePath);
    }
    if (record.installType == INSTALL_TYPE_COURSE) {
        AskCourseQuestions(folder, record.course);
    }
    return InstallClassifiedPackage(archivePath, result);
}

}  // namespace parvane
