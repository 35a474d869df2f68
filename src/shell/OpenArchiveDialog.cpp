#include "shell/OpenArchiveDialog.h"

#include <string>

#include "archive/Folders.h"
#include "base/Messages.h"
#include "platform/UserInterface.h"
#include "properties/Properties.h"
#include "shell/CommandLine.h"

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

}  // namespace

bool ShowOpenArchiveDialog() {
    std::string selection;
    std::uint32_t dialogError = 0;
    if (!TheUserInterface().OpenFile(OpenArchiveRequest(), selection, dialogError)) {
        if (dialogError != 0) {
            ShowError("Couldn't display open file dialog box, code=%d",
                      static_cast<int>(dialogError));
        }
        return false;
    }
    QueueArchivesFromText(selection);
    if (IsPropertyOn(PROPERTY_REMEMBER_OPEN_ARCHIVE_FOLDER)) {
        // Several files: the selection starts with their folder; one file: its folder.
        SetProperty(PROPERTY_OPEN_ARCHIVE_FOLDER,
                    GetFolderPart(selection.substr(0, selection.find('\0'))));
    }
    return true;
}

}  // namespace parvane
