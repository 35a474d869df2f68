// The per-run temporary extraction folder: a unique name in the system's temporary folder,
// chosen once and kept for the whole run.

#include <cstdlib>

#include "archive/Folders.h"
#include "base/Messages.h"
#include "platform/Machine.h"

namespace parvane {

namespace {

std::string extractionFolder;

void ExitWithStatus(int status) {
    std::exit(status);
}

ProcessEndHandler processEndHandler = ExitWithStatus;

// Without a temporary folder the program cannot install anything.
std::string EndProcess() {
    processEndHandler(1);
    return {};
}

}  // namespace

void SetProcessEndHandler(ProcessEndHandler handler) {
    processEndHandler = handler != nullptr ? handler : ExitWithStatus;
}

void ForgetTempExtractionFolder() {
    extractionFolder.clear();
}

std::string GetTempExtractionFolder() {
    if (!extractionFolder.empty()) {
        return extractionFolder;
    }
    std::string tempFolder;
    Win32Error error = TheMachine().TempPath(tempFolder);
    if (error != ERR_SUCCESS) {
        ShowError("Couldn't get temporary path, return code=%d", static_cast<int>(error));
        return EndProcess();
    }
    std::string uniqueFile;
    error = TheMachine().UniqueTempFile(tempFolder, "PRV", uniqueFile);
    if (error != ERR_SUCCESS) {
        ShowError("Couldn't get temporary file, return code=%d", static_cast<int>(error));
        return EndProcess();
    }
    // The name is what we need; the empty file the system made to reserve it would stand in the
    // way of the folder.
    TheMachine().RemoveFile(uniqueFile);
    extractionFolder = uniqueFile;
    return extractionFolder;
}

}  // namespace parvane
