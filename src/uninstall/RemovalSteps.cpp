#include "uninstall/RemovalSteps.h"

#include <cstdint>
#include <span>

#include "archive/Folders.h"
#include "base/AsciiCase.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "catalogue/Catalogue.h"
#include "platform/ErrorText.h"
#include "platform/Machine.h"

namespace parvane {

namespace {

// GetFolderPart asks the machine whether the path is itself a folder; only a path whose text
// could match is asked, so that walking a large catalogue stays cheap.
bool IsFileInFolder(const std::string& filename, const std::string& folder) {
    return (EqualsNoCase(FolderTextPart(filename), folder) || EqualsNoCase(filename, folder)) &&
           EqualsNoCase(GetFolderPart(filename), folder);
}

template <typename Record>
int CountInFolder(std::span<const Record> records, const std::string& folder,
                  std::string_view excluded) {
    int count = 0;
    for (const Record& record : records) {
        if (record.guidText != excluded && IsFileInFolder(record.filename, folder)) {
            ++count;
        }
    }
    return count;
}

void DeleteIfAllowed(const std::string& path, bool (*isDeletable)(const std::string&),
                     KeptFiles& kept) {
    if (path.empty()) {
        return;
    }
    std::uint32_t attributes = 0;
    const Win32Error probe = TheMachine().GetAttributes(path, attributes);
    if (probe == ERR_FILE_NOT_FOUND || probe == ERR_PATH_NOT_FOUND ||
        (probe == ERR_SUCCESS && (attributes & ATTR_DIRECTORY) != 0)) {
        return;
    }
    if (probe != ERR_SUCCESS) {
        kept.push_back("'" + path + "' could not be deleted: " + RuntimeErrorText(probe) + ".");
        return;
    }
    if (!isDeletable(path)) {
        kept.push_back("'" + path +
                       "' was kept: Parvane deletes files only inside the game's folders.");
        return;
    }
    const Win32Error error = TheMachine().RemoveFile(path);
    if (error != ERR_SUCCESS) {
        kept.push_back("'" + path + "' could not be deleted: " + RuntimeErrorText(error) + ".");
    }
}

}  // namespace

bool IsStillRemovable(bool removable, const std::string& filename) {
    return removable && IsRemovableLocation(filename);
}

bool ConfirmUninstall(const std::string& name, const std::string& folder) {
    return AskYesNo(ANSWER_NO,
                    "Are you sure you want to uninstall '%s'\nfrom its location in '%s' ?",
                    name.c_str(), folder.c_str()) == ANSWER_YES;
}

FolderSharing CountContentInFolder(const std::string& folder, std::string_view excludedCourse,
                                   std::string_view excludedLibrary) {
    FolderSharing sharing;
    sharing.courses = CountInFolder(GetInstalledCourses(), folder, excludedCourse) +
                      CountInFolder(GetCloakedCourses(), folder, excludedCourse);
    sharing.libraries = CountInFolder(GetInstalledLibraries(), folder, excludedLibrary) +
                        CountInFolder(GetCloakedLibraries(), folder, excludedLibrary);
    return sharing;
}

void DeleteContentFile(const std::string& path, KeptFiles& kept) {
    DeleteIfAllowed(path, IsDeletableContentPath, kept);
}

void DeleteCaddyBook(const std::string& path, KeptFiles& kept) {
    DeleteIfAllowed(path, IsDeletableCaddyBookPath, kept);
}

void ShowClosingInformation(const std::string& folderMessage, const KeptFiles& kept) {
    std::string keptText;
    for (const std::string& line : kept) {
        keptText += (keptText.empty() ? "" : "\n") + line;
    }
    std::string text = folderMessage;
    if (!text.empty() && !keptText.empty()) {
        text += "\n\n";
    }
    text += keptText;
    if (!text.empty()) {
        ShowInformation("%s", text.c_str());
    }
}

}  // namespace parvane
