#include "installer/FlagFileDialog.h"

#include <cstdint>

#include "archive/Folders.h"
#include "base/Messages.h"
#include "platform/UserInterface.h"
#include "properties/Properties.h"

namespace parvane {

bool FlagFileDialog(std::string& path) {
    path.clear();
    OpenFileRequest request;
    request.title = "Open flag file";
    request.filterDescription = "Flag files (*.dds)";
    request.filterPattern = "*.dds";
    request.initialFolder = GetProperty(PROPERTY_ASK_FOR_FLAG_FOLDER);
    request.defaultExtension = "dds";
    request.flags =
        OPENFILE_EXPLORER | OPENFILE_FILEMUSTEXIST | OPENFILE_PATHMUSTEXIST | OPENFILE_HIDEREADONLY;
    std::string selection;
    std::uint32_t dialogError = 0;
    if (TheUserInterface().OpenFile(request, selection, dialogError)) {
        path = selection;
        SetProperty(PROPERTY_ASK_FOR_FLAG_FOLDER, GetFolderPart(path));
        return true;
    }
    if (dialogError == 0) {
        return true;
    }
    ShowError(OPEN_FILE_FAILED_MESSAGE, static_cast<int>(dialogError));
    return false;
}

}  // namespace parvane
