#include "uninstall/LibraryRemoval.h"

#include <span>
#include <string>

#include "archive/Folders.h"
#include "archive/RemovableLocation.h"
#include "base/GameFolders.h"
#include "base/Messages.h"
#include "base/ShortText.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Registration.h"
#include "catalogue/StockContent.h"
#include "journal/Change.h"
#include "uninstall/RemovalSteps.h"

namespace parvane {

namespace {

constexpr int LISTED_USERS = 10;

void AddUsers(std::span<const CourseRecord> courses, const GUID& guid, const char* suffix,
              LibraryUsers& users) {
    const std::size_t suffixLength = std::char_traits<char>::length(suffix);
    for (const CourseRecord& course : courses) {
        ForEachExaminedSlot(course, [&](const GUID& slotGuid) {
            if (IsZeroGuid(slotGuid) || slotGuid != guid) {
                return;
            }
            if (++users.count <= LISTED_USERS) {
                users.list += ShortenWithEllipsis(course.name, USER_LINE_LENGTH - suffixLength);
                users.list += suffix;
            }
        });
    }
}

// The caution before removing a library that courses use; true to go on.
bool AcceptUsers(const LibraryRecord& library, const LibraryUsers& users) {
    if (users.count > LISTED_USERS) {
        return AskYesNo(ANSWER_NO,
                        "CAUTION: The library '%s' which you are about\nto uninstall is used by "
                        "%d courses, where the first ten are:\n\n%s\nUninstalling this library "
                        "will render these courses unplayable\nuntil you reinstall the library "
                        "again.\n\nAre you sure you want to continue?",
                        library.name.c_str(), users.count, users.list.c_str()) == ANSWER_YES;
    }
    if (users.count > 0) {
        return AskYesNo(ANSWER_NO,
                        "CAUTION: The library '%s' which you are about\nto uninstall is used by "
                        "the following courses:\n\n%s\nUninstalling this library will render "
                        "these courses unplayable\nuntil you reinstall the library again.\n\nAre "
                        "you sure you want to continue?",
                        library.name.c_str(), users.list.c_str()) == ANSWER_YES;
    }
    return true;
}

// A library the game ships with is asked about once more, No the default: courses the player
// never installed (the game's own among them) may depend on it.
bool AcceptStockLibrary(const LibraryRecord& library) {
    return !IsStockLibrary(library.guidText) ||
           AskYesNo(ANSWER_NO,
                    "'%s' is one of the game's own libraries.\nCourses, the game's own among them, "
                    "may stop working without it.\n\nDo you really want to uninstall it?",
                    library.name.c_str()) == ANSWER_YES;
}

enum class FolderChoice { Remove, Keep, Cancel };

// The folder was checked before the questions; should it have changed meanwhile, the user
// decides whether to go on. Removing it stays subject to RemoveFolder's own guard.
FolderChoice CheckFolderAgain(const std::string& folder) {
    if (IsPathUnder(GetGameInstallDir(), folder) && !FolderHasMatch(folder, "*.tca")) {
        return FolderChoice::Remove;
    }
    switch (AskYesNoCancel(ANSWER_NO,
                           "WARNING - The library you are uninstalling is either located outside "
                           "the\ngame folder structure, or the folder in which the library is "
                           "located\ncontains library source files.\n\nDo you want to remove the "
                           "folder %s\nand all its contents anyway?",
                           folder.c_str())) {
        case ANSWER_YES:
            return FolderChoice::Remove;
        case ANSWER_NO:
            return FolderChoice::Keep;
        default:  // Cancel, or a box that could not be shown
            return FolderChoice::Cancel;
    }
}

std::string ClearLibraryFolder(const std::string& folder, const FolderSharing& sharing) {
    if (IsSharedContentRoot(folder)) {
        return SharedContentRootMessage(folder);
    }
    if (sharing.courses > 0 || sharing.libraries > 0) {
        return "There are " + std::to_string(sharing.courses) + " course(s) and " +
               std::to_string(sharing.libraries) +
               " libraries\ninstalled in the same folder as the library you are uninstalling.\n"
               "The folder '" +
               folder + "' will not be removed.";
    }
    RemoveFolder(folder);
    return {};
}

}  // namespace

LibraryUsers CollectLibraryUsers(const LibraryRecord& library) {
    LibraryUsers users;
    AddUsers(GetInstalledCourses(), library.guid, "\n", users);
    AddUsers(GetCloakedCourses(), library.guid, " (Cloaked)\n", users);
    return users;
}

bool UninstallLibrary(const LibraryRecord& library) {
    if (!IsStillRemovable(library.removable, library.filename)) {
        ShowError(
            "ERROR - The library is either located outside the game folder structure,\nor the "
            "folder in which the library is installed contains architect source\nfiles. To "
            "avoid accidental loss of files, Parvane will not uninstall this\nlibrary. You need "
            "to use the Course Utilities program to uninstall it.\n");
        return false;
    }
    const std::string folder = GetFolderPart(library.filename);
    if (!ConfirmUninstall(library.name, folder) || !AcceptStockLibrary(library) ||
        !AcceptUsers(library, CollectLibraryUsers(library))) {
        return false;
    }
    const FolderChoice choice = CheckFolderAgain(folder);
    if (choice == FolderChoice::Cancel || !BeginChange(ChangeKind::Uninstall, library.name, {})) {
        return false;
    }
    if (!UnregisterLibrary(library)) {
        return EndChange(false);
    }
    // The library is still listed until the caller reloads: it does not count itself.
    const FolderSharing sharing = CountContentInFolder(folder, {}, library.guidText);
    KeptFiles kept;
    DeleteContentFile(library.filename, kept);
    ShowClosingInformation(
        choice == FolderChoice::Keep ? std::string() : ClearLibraryFolder(folder, sharing), kept);
    return EndChange(true);
}

}  // namespace parvane
