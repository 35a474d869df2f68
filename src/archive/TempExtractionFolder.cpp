// The program's own temporary folders: the per-run extraction folder, a unique name in the
// system's temporary folder chosen once and kept for the whole run, and the further folders made
// there for the run (the inner archives of MyZip archives).

#include "archive/TempExtractionFolder.h"

#include <algorithm>
#include <vector>

#include "archive/Folders.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "platform/AsciiCase.h"
#include "platform/HexDigits.h"
#include "platform/Machine.h"

namespace parvane {

namespace {

std::string extractionFolder;
std::vector<std::string> madeFolders;

// A unique name in the system's temporary folder, free for a folder; empty after an Error box
// when the system gives no temporary folder or unique name.
std::string UniqueTempName() {
    std::string tempFolder;
    Win32Error error = TheMachine().TempPath(tempFolder);
    if (error != ERR_SUCCESS) {
        ShowError("Couldn't get temporary path, return code=%d", static_cast<int>(error));
        return {};
    }
    std::string uniqueFile;
    error = TheMachine().UniqueTempFile(tempFolder, "PRV", uniqueFile);
    if (error != ERR_SUCCESS) {
        ShowError("Couldn't get temporary file, return code=%d", static_cast<int>(error));
        return {};
    }
    // The name is what we need; the empty file the system made to reserve it would stand in the
    // way of the folder.
    TheMachine().RemoveFile(uniqueFile);
    return uniqueFile;
}

// "PRV" and one to four hex digits, then ".tmp", as UniqueTempName's names are made.
bool IsOwnTemporaryName(const std::string& name) {
    if (!StartsWithNoCase(name, "PRV") || !EndsWithNoCase(name, ".tmp") || name.size() < 8 ||
        name.size() > 11) {
        return false;
    }
    const std::string digits = ToUpperAscii(name.substr(3, name.size() - 7));
    return digits.find_first_not_of(UPPER_HEX_DIGITS) == std::string::npos;
}

std::uint64_t FolderFileBytes(const std::string& folder) {
    std::vector<FolderEntry> entries;
    std::uint64_t bytes = 0;
    if (TheMachine().ListFolder(folder + "\\*", entries) == ERR_SUCCESS) {
        for (const FolderEntry& entry : entries) {
            bytes += (entry.attributes & ATTR_DIRECTORY) == 0 ? entry.size : 0;
        }
    }
    return bytes;
}

}  // namespace

std::uint64_t RemoveLeftoverTemporaryFolders() {
    std::string tempFolder;
    std::vector<FolderEntry> entries;
    if (TheMachine().TempPath(tempFolder) != ERR_SUCCESS ||
        TheMachine().ListFolder(JoinPath(tempFolder, "PRV*.tmp"), entries) != ERR_SUCCESS) {
        return 0;
    }
    std::uint64_t freed = 0;
    for (const FolderEntry& entry : entries) {
        const std::string folder = JoinPath(tempFolder, entry.name);
        // A link is not a folder this program made, wherever it leads.
        if ((entry.attributes & ATTR_DIRECTORY) == 0 ||
            (entry.attributes & ATTR_REPARSE_POINT) != 0 || !IsOwnTemporaryName(entry.name) ||
            IsOwnTemporaryFolder(folder)) {
            continue;
        }
        const std::uint64_t bytes = FolderFileBytes(folder);
        madeFolders.push_back(folder);  // adopted, so that RemoveFolder may remove it
        RemoveFolder(folder);
        std::uint32_t attributes = 0;
        if (TheMachine().GetAttributes(folder, attributes) != ERR_SUCCESS) {
            freed += bytes;
        }
    }
    return freed;
}

void ForgetTempExtractionFolder() {
    extractionFolder.clear();
}

std::string GetTempExtractionFolder() {
    if (extractionFolder.empty()) {
        extractionFolder = UniqueTempName();
    }
    return extractionFolder;
}

std::string MakeOwnTemporaryFolder() {
    std::string folder = UniqueTempName();
    if (folder.empty()) {
        return {};
    }
    // Someone else may have taken the name since it was reserved: their folder is not ours.
    if (const Win32Error error = TheMachine().MakeFolder(folder); error != ERR_SUCCESS) {
        ShowError(MAKE_FOLDER_FAILED_MESSAGE, folder.c_str(), static_cast<int>(error));
        return {};
    }
    madeFolders.push_back(folder);
    return folder;
}

bool IsOwnTemporaryFolder(const std::string& folder) {
    const std::string_view asked = WithoutTrailingSeparators(folder);
    if (asked.empty()) {
        return false;
    }
    return EqualsNoCase(asked, extractionFolder) ||
           std::any_of(madeFolders.begin(), madeFolders.end(),
                       [asked](const std::string& made) { return EqualsNoCase(asked, made); });
}

}  // namespace parvane
