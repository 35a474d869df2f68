#include "shell/OpenArchiveDialog.h"

#include <string>

#include "archive/Folders.h"
#include "base/Messages.h"
#include "platform/Machine.h"
#include "platform/UserInterface.h"
#include "properties/Properties.h"
#include "shell/CommandLine.h"
#include "shell/FileNameList.h"

namespace parvane {

namespace {

// OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT |
// OFN_HIDEREADONLY.
constexpr std::uint32_t OPEN_ARCHIVE_FLAGS = 0x00081A04;
constexpr std::uint32_t SELECTION_BUFFER_SIZE = 4096;

OpenFileRequest OpenArchiveRequest() {
    OpenFileRequest request;
    request.title = "Open installation archive";
    request.filterDescription = "Installation archives (*.zip, *.tcx, *.tcl)";
    request.filterPattern = "*.zip;*.tcx;*.tcl";
    request.initialFolder = GetProperty(PROPERTY_OPEN_ARCHIVE_FOLDER);
    request.defaultExtension = "zip";
    request.flags = OPEN_ARCHIVE_FLAGS;
    request.bufferSize = SELECTION_BUFFER_SIZE;
    return request;
}

void RememberArchiveFolder(const std::string& archivePath) {
    if (IsPropertyOn(PROPERTY_REMEMBER_OPEN_ARCHIVE_FOLDER)) {
        SetProperty(PROPERTY_OPEN_ARCHIVE_FOLDER, GetFolderPart(archivePath));
    }
}

bool IsFolder(const std::string& path) {
    std::uint32_t attributes = ATTR_INVALID;
    return TheMachine().GetAttributes(path, attributes) == ERR_SUCCESS &&
           (attributes & ATTR_DIRECTORY) != 0;
}

}  // namespace

bool ShowOpenArchiveDialog() {
    std::string selection;
    std::uint32_t dialogError = 0;
    if (!TheUserInterface().OpenFile(OpenArchiveRequest(), selection, dialogError)) {
        if (dialogError != 0) {
            ShowError(OPEN_FILE_FAILED_MESSAGE, static_cast<int>(dialogError));
        }
        return false;
    }
    QueueArchivesFromText(selection);
    // Several files: the selection starts with their folder; one file: its folder.
    RememberArchiveFolder(selection.substr(0, selection.find('\0')));
    return true;
}

bool QueueChosenArchives(const std::vector<std::string>& paths) {
    ClearFileNameList();
    for (const std::string& path : paths) {
        if (IsFolder(path)) {
            ShowError("'%s' is a folder, not an installation archive.", path.c_str());
        } else if (AddFileName(path)) {
            RememberArchiveFolder(path);
        }
    }
    return FileNameCount() > 0;
}

}  // namespace parvane
