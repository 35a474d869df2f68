#include "installer/ContentFolders.h"

#include <algorithm>

#include "archive/EntryNames.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "properties/Properties.h"

namespace parvane {

namespace {

// "<TargetFolder>\<kindFolder>\<safe name>".
bool DefaultContentFolder(const char* kindFolder, const std::string& displayName,
                          const std::string& filePath, std::string& folder) {
    const std::string safeName = SafeFolderName(displayName);
    if (safeName.empty()) {
        ShowError("Couldn't make a folder name from the name '%s' in file '%s'.",
                  PrintableName(displayName).c_str(), filePath.c_str());
        return false;
    }
    folder = CollapseBackslashes(
        JoinPath(JoinPath(GetProperty(PROPERTY_TARGET_FOLDER), kindFolder), safeName));
    if (folder.size() > MAX_PATH_LENGTH) {
        ShowError("The target folder '%s' is longer than %d characters.", folder.c_str(),
                  static_cast<int>(MAX_PATH_LENGTH));
        return false;
    }
    return true;
}

}  // namespace

std::string SafeFolderName(const std::string& displayName) {
    std::string printable = displayName;
    std::erase_if(printable, [](char c) { return static_cast<unsigned char>(c) < 32; });
    std::string name = WindowsFileName(MakeValidName(printable));
    return UnsafeFileNameReason(name).empty() ? name : std::string();
}

bool CourseTargetFolder(const std::string& courseName, const std::string& coursePath,
                        std::string& folder) {
    return DefaultContentFolder("courses", courseName, coursePath, folder);
}

bool LibraryTargetFolder(const std::string& libraryName, const std::string& libraryPath,
                         std::string& folder) {
    if (!IsPropertyOn(PROPERTY_USE_DEFAULT_LIBRARY_FOLDER)) {
        folder = GetProperty(PROPERTY_LIBRARY_FOLDER);
        return true;
    }
    return DefaultContentFolder("libraries", libraryName, libraryPath, folder);
}

}  // namespace parvane
