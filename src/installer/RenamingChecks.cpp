#include "installer/RenamingChecks.h"

#include "base/Messages.h"
#include "base/PathText.h"
#include "platform/AsciiCase.h"
#include "platform/Machine.h"

namespace parvane {

namespace {

struct CompanionRole {
    std::string CourseRecord::*field;
    const char* extension;
    const char* question;
};

constexpr CompanionRole COMPANION_ROLES[] = {
    {&CourseRecord::iniFile, ".ini",
     "Parvane has detected that the supplied course initialization file\n'%s' does not have "
     "the same name as the course file.\n\nDo you want Parvane to correct this?\n\nPress Yes "
     "to correct the file name.\nPress No to copy the file with its current name.\nPress "
     "Cancel to skip copying the file."},
    {&CourseRecord::stationeryFile, ".stn",
     "Parvane has detected that the supplied sound stationery file\n'%s' does not have the "
     "same name as the course file.\n\nDo you want Parvane to correct this?\n\nPress Yes to "
     "correct the file name.\nPress No to copy the file with its current name.\nPress Cancel "
     "to skip copying the file."},
    {&CourseRecord::caddyBookFile, ".tcn",
     "Parvane has detected that the supplied caddy book file\n'%s' does not have the same "
     "name as the course file.\n\nDo you want Parvane to correct this?\n\nPress Yes to correct "
     "the file name.\nPress No to copy the file with its current name.\nPress Cancel to skip "
     "copying the file."},
};

void RenameToCourseName(const std::string& folder, const std::string& courseStem,
                        const CompanionRole& role, std::string& field) {
    const std::string newName = courseStem + role.extension;
    const std::string oldPath = JoinPath(folder, field);
    const std::string newPath = JoinPath(folder, newName);
    const Win32Error error = TheMachine().MoveFileTo(oldPath, newPath);
    if (error != ERR_SUCCESS) {
        ShowError("Couldn't rename file '%s' to\n'%s', return code=%d", oldPath.c_str(),
                  newPath.c_str(), static_cast<int>(error));
        return;
    }
    field = newName;
}

void CheckCompanionName(const std::string& folder, const std::string& courseStem,
                        const CompanionRole& role, std::string& field) {
    if (field.empty() || EqualsNoCase(GetFileStem(field), courseStem)) {
        return;
    }
    switch (AskYesNoCancel(ANSWER_YES, role.question, field.c_str())) {
        case ANSWER_YES:
            RenameToCourseName(folder, courseStem, role, field);
            break;
        case ANSWER_NO:
            break;
        default:
            field.clear();
            break;
    }
}

}  // namespace

void RunRenamingChecks(const std::string& folder, CourseRecord& course) {
    const std::string courseStem = GetFileStem(course.filename);
    for (const CompanionRole& role : COMPANION_ROLES) {
        CheckCompanionName(folder, courseStem, role, course.*role.field);
    }
}

}  // namespace parvane
