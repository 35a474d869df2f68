#include "shell/NestedArchives.h"

#include <algorithm>
#include <unordered_set>

#include "archive/ArchiveContents.h"
#include "archive/EntryNames.h"
#include "archive/ExtractArchive.h"
#include "archive/Folders.h"
#include "archive/TempExtractionFolder.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "platform/AsciiCase.h"
#include "platform/Machine.h"
#include "shell/FileNameList.h"

namespace parvane {

namespace {

// A MyZip archive among the inner archives of another is unpacked as well, down to this many
// levels; a deeper one is refused, which also ends two archives that hold each other.
constexpr int MAX_MYZIP_LEVELS = 4;

// One unpacked MyZip archive: the program's own folder it was unpacked into, how deep it lay
// (1 for an archive the user chose), and its inner archives not yet deleted. The folder goes,
// with whatever else the MyZip archive held, when the last of them is deleted.
struct Expansion {
    std::string folder;
    int level = 1;
    std::vector<std::string> innerArchives;
};

std::vector<Expansion> expansions;

std::vector<Expansion>::iterator ExpansionHolding(const std::string& path) {
    return std::find_if(expansions.begin(), expansions.end(), [&path](const Expansion& e) {
        return std::find(e.innerArchives.begin(), e.innerArchives.end(), path) !=
               e.innerArchives.end();
    });
}

// The unpacking is flat, so an inner archive listed as "sub/a.zip" was written as
// "folder\a.zip"; two listed under the same flat name are one file.
std::vector<std::string> WrittenInnerArchives(const std::string& myZipFolder,
                                              const std::string& folder,
                                              const std::vector<std::string>& listedPaths) {
    std::vector<std::string> written;
    std::unordered_set<std::string> seen;
    for (const std::string& listed : listedPaths) {
        const std::string entryName = listed.substr(myZipFolder.size() + 1);
        const std::string path = JoinPath(folder, WindowsFileName(GetFileNamePart(entryName)));
        if (seen.insert(ToUpperAscii(path)).second) {
            written.push_back(path);
        }
    }
    return written;
}

// Unpacks the MyZip archive into a new folder of the program's own, so that nothing of the
// user's is overwritten, and returns the inner archives written there. Empty after an Error box
// when that fails part-way; nothing unpacked is then left behind.
std::vector<std::string> UnpackInnerArchives(const std::string& myZipPath, int level) {
    std::vector<std::string> listedPaths;
    const bool listed = ListArchiveEntries(myZipPath, ".zip", listedPaths);
    const std::string folder = listed ? MakeOwnTemporaryFolder() : std::string();
    if (folder.empty() || !ExtractArchive(myZipPath, folder, false)) {
        if (!folder.empty()) {
            RemoveFolder(folder);
        }
        ShowError(
            "The MyZip archive '%s' will not be installed: its zip files could not be unpacked.",
            myZipPath.c_str());
        return {};
    }
    std::vector<std::string> written =
        WrittenInnerArchives(GetFolderPart(myZipPath), folder, listedPaths);
    expansions.push_back({folder, level, written});
    return written;
}

// Deletes an inner archive that an expansion wrote, once; its folder goes with the last one.
// A path no expansion wrote, or one already deleted, is left alone.
void DiscardInnerArchive(const std::string& path) {
    const auto expansion = ExpansionHolding(path);
    if (expansion == expansions.end()) {
        return;
    }
    if (TheMachine().RemoveFile(path) != ERR_SUCCESS) {
        ShowWarning("Could not remove temporary archive file '%s'", path.c_str());
    }
    std::erase(expansion->innerArchives, path);
    if (expansion->innerArchives.empty()) {
        const std::string folder = expansion->folder;
        expansions.erase(expansion);
        RemoveFolder(folder);
    }
}

// False when the archive was refused.
bool ExpandMyZipArchive(const std::string& myZipPath) {
    const auto holder = ExpansionHolding(myZipPath);
    const int level = holder == expansions.end() ? 1 : holder->level + 1;
    std::vector<std::string> innerArchives;
    if (level > MAX_MYZIP_LEVELS) {
        ShowError(
            "The MyZip archive '%s' lies inside more than %d MyZip archives and will not be "
            "installed.",
            myZipPath.c_str(), MAX_MYZIP_LEVELS - 1);
    } else {
        ShowInformation(
            "Parvane has detected that the selected file '%s' is a MyZip archive.\nThe file "
            "will now be unzipped and each contained zip file will be installed "
            "separately.\nOnce the installation is complete, the contained zip files will be "
            "removed again.",
            myZipPath.c_str());
        innerArchives = UnpackInnerArchives(myZipPath, level);
    }
    ReplaceWithInnerArchives(myZipPath, innerArchives);
    // An inner MyZip archive has been replaced by its own inner archives: it is done with.
    DiscardInnerArchive(myZipPath);
    return !innerArchives.empty();
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

std::int32_t ExpandMyZipArchives() {
    std::int32_t refused = 0;
    while (FileNameEntry* entry = NextFileName(1)) {
        const std::string path = entry->path;
        const ArchiveKind kind = ClassifyArchive(path);
        if (kind != ARCHIVE_KIND_MYZIP) {
            entry->packageKind = kind;
        } else if (!ExpandMyZipArchive(path)) {
            ++refused;
        }
    }
    SortByPackageKind();
    return refused;
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
    if (index < 0) {
        return;
    }
    if (GetFileNameEntries()[static_cast<std::size_t>(index)].isTemporary == 0) {
        return;
    }
    DiscardInnerArchive(path);
}

}  // namespace parvane
