#include "uninstall/RemovalSteps.h"

#include <cstdint>
#include <span>

#include "archive/Folders.h"
#include "archive/RemovableLocation.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "catalogue/Catalogue.h"
#include "platform/AsciiCase.h"
#include "platform/ErrorText.h"
#include "platform/Machine.h"

namespace parvane {

namespace {

// One spelling of a folder: single backslashes, none at the end, and short (8.3) names long.
// Only a text with a '~' can hold a short name, so that walking a large catalogue asks the
// machine rarely.
std::string CanonicalFolder(std::string_view folder) {
    std::string text = NormalizeFolderText(folder);
    if (text.find('~') != std::string::npos) {
        std::string longPath;
        if (TheMachine().LongPathName(text, longPath) == ERR_SUCCESS) {
            text = NormalizeFolderText(longPath);
        }
    }
    while (text.size() > 1 && text.back() == '\\') {
        text.pop_back();
    }
    return text;
}

// The path is cut at its last separator once both kinds are one. GetFolderPart asks the
// machine whether the path is itself a folder; only a path whose text could match is asked.
bool IsFileInFolder(const std::string& filename, const std::string& canonicalFolder) {
    const std::string file = NormalizeFolderText(filename);
    return (EqualsNoCase(CanonicalFolder(FolderTextPart(file)), canonicalFolder) ||
            EqualsNoCase(CanonicalFolder(file), canonicalFolder)) &&
           EqualsNoCase(CanonicalFolder(GetFolderPart(file)), canonicalFolder);
}

template <typename Record>
int CountInFolder(std::span<const Record> records, const std::string& canonicalFolder,
                  std::string_view excluded) {
    int count = 0;
    for (const Record& record : records) {
        if (record.guidText != excluded && IsFileInFolder(record.filename, canonicalFolder)) {
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
    const std::string canonical = CanonicalFolder(folder);
    sharing.courses = CountInFolder(GetInstalledCourses(), canonical, excludedCourse) +
                      CountInFolder(GetCloakedCourses(), canonical, excludedCourse);
    sharing.libraries = CountInFolder(GetInstalledLibraries(), canonical, excludedLibrary) +
                        CountInFolder(GetCloakedLibraries(), canonical, excludedLibrary);
    return sharing;
}

std::string SharedContentRootMessage(const std::string& folder) {
    return "The folder '" + folder +
           "' holds the game's own folders or other content, and will not be removed.";
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
