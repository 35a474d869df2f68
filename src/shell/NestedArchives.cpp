#include "shell/NestedArchives.h"

#include <algorithm>
#include <unordered_set>

#include "archive/ArchiveContents.h"
#include "archive/EntryNames.h"
#include "archive/ExtractArchive.h"
#include "archive/Folders.h"
#include "base/AsciiCase.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "platform/Machine.h"
#include "shell/FileNameList.h"

namespace parvane {

namespace {

// The unpacking is flat, so an inner archive listed as "folder\sub/a.zip" was written as
// "folder\a.zip"; two listed under the same flat name are one file.
std::vector<std::string> WrittenInnerArchives(const std::string& myZipFolder,
                                              const std::vector<std::string>& listedPaths) {
    std::vector<std::string> written;
    std::unordered_set<std::string> seen;
    for (const std::string& listed : listedPaths) {
        const std::string entryName = listed.substr(myZipFolder.size() + 1);
        const std::string path = myZipFolder + "\\" + WindowsFileName(GetFileNamePart(entryName));
        if (seen.insert(ToUpperAscii(path)).second)
            written.push_back(path);
    }
    return written;
}

void ExpandMyZipArchive(const std::string& myZipPath) {
    const std::string myZipFolder = GetFolderPart(myZipPath);
    std::vector<std::string> listedPaths;
    ListArchiveEntries(myZipPath, ".zip", listedPaths);
    ShowInformation(
        "Parvane has detected that the selected file '%s' is a MyZip archive.\nThe file will "
        "now be unzipped and each contained zip file will be installed separately.\nOnce the "
        "installation is complete, the contained zip files will be removed again.",
        myZipPath.c_str());
    // An archive that could not be unpacked leaves the queue: its inner archives are not on
    // disk, and the names it lists must not be taken as paths to install and delete.
    if (!ExtractArchive(myZipPath, myZipFolder, false))
        listedPaths.clear();
    ReplaceWithInnerArchives(myZipPath, WrittenInnerArchives(myZipFolder, listedPaths));
}

void SortByPackageKind() {
    std::vector<FileNameEntry> sorted = GetFileNameEntries();
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const FileNameEntry& a, const FileNameEntry& b) {
                         return a.packageKind > b.packageKind;
                     });
    SetFileNameEntries(std::move(sorted));
}

}  // namespace

void ExpandMyZipArchives() {
    while (FileNameEntry* entry = NextFileName(1)) {
        const std::string path = entry->path;
        const ArchiveKind kind = ClassifyArchive(path);
        if (kind == ARCHIVE_KIND_MYZIP) {
            ExpandMyZipArchive(path);
        } else {
            entry->packageKind = kind;
        }
    }
    SortByPackageKind();
}

void ReplaceWithInnerArchives(const std::string& myZipPath,
                              const std::vector<std::string>& innerPaths) {
    const std::int32_t index = FindFileName(myZipPath);
    if (index < 0) {
        ShowError("Internal error - '%s' not found in file name list", myZipPath.c_str());
        return;
    }
    const std::vector<FileNameEntry>& old = GetFileNameEntries();
    std::vector<FileNameEntry> replaced(old.begin(), old.begin() + index);
    replaced.reserve(old.size() + innerPaths.size());
    for (const std::string& innerPath : innerPaths) {
        replaced.push_back(FileNameEntry{innerPath, 1, ClassifyArchive(innerPath)});
    }
    replaced.insert(replaced.end(), old.begin() + index + 1, old.end());
    ClearFileNameList();
    SetFileNameEntries(std::move(replaced));
    NextFileName(static_cast<std::int32_t>(innerPaths.size()) - 1);
}

std::int32_t FindFileName(const std::string& path) {
    const std::vector<FileNameEntry>& entries = GetFileNameEntries();
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&path](const FileNameEntry& e) { return e.path == path; });
    return found == entries.end() ? -1 : static_cast<std::int32_t>(found - entries.begin());
}

void DeleteTemporaryArchive(const std::string& path) {
    const std::int32_t index = FindFileName(path);
    if (index < 0)
        return;
    const FileNameEntry& entry = GetFileNameEntries()[static_cast<std::size_t>(index)];
    if (entry.isTemporary == 0)
        return;
    if (TheMachine().RemoveFile(entry.path) != ERR_SUCCESS) {
        ShowWarning("Could not remove temporary archive file '%s'", entry.path.c_str());
    }
}

}  // namespace parvane
