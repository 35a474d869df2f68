#include "installer/InstallPaths.h"

#include <vector>

#include "archive/OriginLists.h"
#include "base/GameFolders.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "installer/InstallRecord.h"

namespace parvane {

namespace {

// The longest name of a hole audio file.
constexpr const char* LONGEST_HOLE_FILE = "hole18.mp3";

void CompleteField(const std::string& folder, std::string& field) {
    if (!field.empty()) {
        field = JoinPath(folder, field);
    }
}

bool CompleteCaddyBookPath(std::string& caddyBookFile) {
    if (caddyBookFile.empty()) {
        return true;
    }
    const std::string personal = GetPersonalFolder();
    if (personal.empty()) {
        ShowError(
            "Couldn't find your documents folder, where the caddy book '%s' goes.\nThe "
            "installation will now be cancelled.",
            caddyBookFile.c_str());
        return false;
    }
    caddyBookFile = personal + "\\Greenvale 06\\Course Notes\\" + caddyBookFile;
    return true;
}

void CompleteCoursePaths(const std::string& folder, CourseRecord& course) {
    if (!course.audio.empty()) {
        course.audio = folder + "\\";
    }
    for (std::string* field :
         {&course.filename, &course.flag, &course.music, &course.logo, &course.picture,
          &course.text, &course.iniFile, &course.soundIniFile, &course.stationeryFile}) {
        CompleteField(folder, *field);
    }
}

// Every path the installation of the record writes.
std::vector<std::string> Destinations(const InstallRecord& record) {
    const CourseRecord& course = record.course;
    std::vector<std::string> paths = {
        course.filename,       course.flag,         course.music,   course.logo,
        course.picture,        course.text,         course.iniFile, course.soundIniFile,
        course.stationeryFile, course.caddyBookFile};
    if (!course.audio.empty()) {
        paths.push_back(course.audio + LONGEST_HOLE_FILE);
    }
    for (const LibraryRecord& library : record.libraries) {
        paths.push_back(library.filename);
    }
    if (record.installType == INSTALL_TYPE_COURSE) {
        for (const std::string& name : GetPrvFiles()) {
            paths.push_back(record.targetFolder + "\\prv\\" + name);
        }
        for (const std::string& name : GetSoundsFiles()) {
            paths.push_back(record.targetFolder + "\\sounds\\" + name);
        }
    }
    return paths;
}

}  // namespace

bool CheckTargetFolder(const std::string& folder) {
    if (IsFullWindowsPath(folder)) {
        return true;
    }
    ShowError(
        "The target folder '%s' is not a full path (a drive letter, a colon and a "
        "backslash).\nCheck the TargetFolder and LibraryFolder properties and try again.",
        folder.c_str());
    return false;
}

bool CheckDestinationLength(const std::string& path) {
    if (path.size() <= MAX_PATH_LENGTH) {
        return true;
    }
    ShowError(
        "The destination path '%s' is longer than %d characters.\nChoose a shorter target "
        "folder and try again.",
        path.c_str(), static_cast<int>(MAX_PATH_LENGTH));
    return false;
}

bool CompleteInstallPaths() {
    InstallRecord& record = TheInstallRecord();
    const std::string& folder = record.targetFolder;
    if (!CheckTargetFolder(folder)) {
        return false;
    }
    CompleteCoursePaths(folder, record.course);
    if (!CompleteCaddyBookPath(record.course.caddyBookFile)) {
        return false;
    }
    for (LibraryRecord& library : record.libraries) {
        CompleteField(folder, library.filename);
    }
    for (const std::string& path : Destinations(record)) {
        if (!CheckDestinationLength(path)) {
            return false;
        }
    }
    return true;
}

}  // namespace parvane
