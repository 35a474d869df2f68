#include "uninstall/CourseRemoval.h"

#include <string>

#include "archive/Folders.h"
#include "archive/RemovableLocation.h"
#include "base/GameFolders.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "catalogue/Registration.h"
#include "journal/Change.h"
#include "uninstall/RemovalSteps.h"

namespace parvane {

namespace {

constexpr int HOLE_COUNT = 18;

// The course's own files: those its record names, then those named after its course file.
void DeleteCourseFiles(const CourseRecord& course, const std::string& folder, KeptFiles& kept) {
    for (const std::string* path : {&course.audio, &course.filename, &course.flag, &course.logo,
                                    &course.music, &course.picture, &course.text}) {
        DeleteContentFile(*path, kept);
    }
    const std::string stem = GetFileStem(course.filename);
    DeleteContentFile(JoinPath(folder, stem + ".ini"), kept);
    DeleteContentFile(JoinPath(folder, stem + ".stn"), kept);
    for (int hole = 1; hole <= HOLE_COUNT; ++hole) {
        DeleteContentFile(folder + "\\hole" + std::to_string(hole) + ".mp3", kept);
    }
    const std::string personalFolder = GetPersonalFolder();
    if (!personalFolder.empty()) {
        DeleteCaddyBook(JoinPath(JoinPath(personalFolder, COURSE_NOTES_FOLDER), stem + ".tcn"),
                        kept);
    }
}

// Removes the folder when no other content lives there; otherwise says why it stays.
std::string ClearCourseFolder(const std::string& folder, const FolderSharing& sharing) {
    if (IsSharedContentRoot(folder)) {
        return SharedContentRootMessage(folder);
    }
    if (sharing.courses > 0) {
        return "There are " + std::to_string(sharing.courses) + " course(s) and " +
               std::to_string(sharing.libraries) +
               " libraries installed in the same folder as the course you are uninstalling.\n"
               "The folder '" +
               folder + "' will not be removed.";
    }
    RemoveFolder(folder + "/sounds");
    RemoveFolder(folder + "/prv");
    if (sharing.libraries > 0) {
        return "There are " + std::to_string(sharing.libraries) +
               " libraries installed in the same folder as the course you are uninstalling.\n"
               "The folder '" +
               folder + "' will not be removed.";
    }
    RemoveFolder(folder);
    return {};
}

}  // namespace

bool UninstallCourse(const CourseRecord& course) {
    if (!IsStillRemovable(course.removable, course.filename)) {
        ShowError(
            "ERROR - The course is either located outside the game folder structure,\nor the "
            "folder in which the course is installed contains architect source\nfiles. To avoid "
            "accidental loss of files, Parvane will not uninstall this\ncourse. You need to use "
            "the Course Utilities program to uninstall it.\n");
        return false;
    }
    const std::string folder = GetFolderPart(course.filename);
    if (!ConfirmUninstall(course.name, folder) ||
        !BeginChange(ChangeKind::Uninstall, course.name, {})) {
        return false;
    }
    if (!UnregisterCourse(course)) {
        return EndChange(false);
    }
    // The course is still listed until the caller reloads: it does not count itself.
    const FolderSharing sharing = CountContentInFolder(folder, course.guidText, {});
    KeptFiles kept;
    DeleteCourseFiles(course, folder, kept);
    ShowClosingInformation(ClearCourseFolder(folder, sharing), kept);
    return EndChange(true);
}

}  // namespace parvane
