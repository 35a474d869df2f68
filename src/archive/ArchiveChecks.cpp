#include "archive/ArchiveChecks.h"

#include <cstdint>
#include <map>

#include "archive/EntryNames.h"
#include "archive/ZipWalk.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "platform/AsciiCase.h"
#include "platform/Machine.h"

namespace parvane {

bool IsFolderEntry(const ZipEntryInfo& info) {
    return info.name.ends_with('/');
}

bool IsInnerArchiveName(const std::string& fileName) {
    return EndsWithNoCase(fileName, ".zip") || EndsWithNoCase(fileName, ".exe") ||
           EndsWithNoCase(fileName, ".tcx");
}

std::string WrittenFileName(const ZipEntryInfo& info) {
    return WindowsFileName(GetFileNamePart(info.name));
}

std::string OutputPath(const std::string& targetFolder, const std::string& fileName) {
    return JoinPath(targetFolder, fileName);
}

namespace {

bool OverwritesArchiveInUse(const std::string& outputPath,
                            const std::vector<std::string>& openArchives) {
    std::string longPath;
    if (TheMachine().LongPathName(outputPath, longPath) != ERR_SUCCESS) {
        return false;
    }
    for (const std::string& archive : openArchives) {
        if (EqualsNoCase(archive, longPath)) {
            return true;
        }
    }
    return false;
}

// Why an entry cannot be written safely, or empty when it can. Only the last component is
// written, but a name that starts at a root, names a drive or a stream, or climbs with ".."
// is made to escape, and no archive made by a packing tool holds one.
std::string EntryNameProblem(const ZipEntryInfo& info) {
    if (info.declaredNameLength != info.storedNameLength) {
        return "the name holds a control character";
    }
    if (std::string reason = UnsafeFileNameReason(GetFileNamePart(info.name)); !reason.empty()) {
        return reason;
    }
    if (IsPathSeparator(info.name.front())) {
        return "the name starts at the root of a drive";
    }
    if (info.name.find(':') != std::string::npos) {
        return "the name holds a colon";
    }
    if (HasDotComponent(info.name)) {
        return "a folder of the name is \".\" or \"..\"";
    }
    return {};
}

// The file an entry is written to, with the entry that claims it now.
struct ClaimedFile {
    std::string entryName;
    std::uint32_t crc;
    std::uint64_t size;
    std::size_t index;
};

// Course and library files and archives decide what the package is; losing one to another
// of the same name would install something else than the package holds.
bool MustNotBeReplaced(const std::string& fileName) {
    return EndsWithNoCase(fileName, ".tcr") || EndsWithNoCase(fileName, ".tcl") ||
           IsInnerArchiveName(fileName);
}

// Two entries written to the same file (the archive is unpacked flat, and Windows ignores the
// case of names): the same file twice is written twice; otherwise the later one wins, as
// packages made for the game rely on, and the earlier is not written. A content file or an
// archive among them refuses the archive rather than lose one of them.
bool CheckFileClaim(const ZipEntryInfo& info, std::size_t index, const std::string& archivePath,
                    std::map<std::string, ClaimedFile>& claims, ExtractionPlan& plan) {
    const std::string fileName = WrittenFileName(info);
    const auto [claim, isFirst] = claims.try_emplace(
        ToUpperAscii(fileName), ClaimedFile{info.name, info.crc, info.uncompressedSize, index});
    ClaimedFile& first = claim->second;
    if (isFirst || (first.crc == info.crc && first.size == info.uncompressedSize)) {
        return true;
    }
    if (!MustNotBeReplaced(fileName) && !MustNotBeReplaced(GetFileNamePart(first.entryName))) {
        plan.skipped[first.index] = true;
        first = ClaimedFile{info.name, info.crc, info.uncompressedSize, index};
        return true;
    }
    ShowError(
        "Couldn't extract archive '%s': the entries '%s' and '%s' would both be written to the "
        "file '%s'.",
        archivePath.c_str(), PrintableName(first.entryName).c_str(),
        PrintableName(info.name).c_str(), fileName.c_str());
    return false;
}

bool CheckEntry(const ZipEntryInfo& info, const std::string& archivePath,
                const std::string& targetFolder, const std::vector<std::string>& openArchives) {
    const char* archive = archivePath.c_str();
    const std::string shownName = PrintableName(info.name);
    if (info.declaredNameLength >= ZIP_NAME_BUFFER_SIZE || info.name.size() > MAX_PATH_LENGTH) {
        ShowError(
            "Couldn't extract archive '%s': the name of the entry '%s...' is longer than "
            "%d characters.",
            archive, shownName.c_str(), static_cast<int>(MAX_PATH_LENGTH));
        return false;
    }
    if (!info.nameFits) {
        ShowError(
            "Couldn't extract archive '%s': the name of the entry '%s' holds characters that "
            "code page 1252 cannot hold.",
            archive, shownName.c_str());
        return false;
    }
    if (IsFolderEntry(info)) {
        return true;
    }
    if (const std::string problem = EntryNameProblem(info); !problem.empty()) {
        ShowError(
            "Couldn't extract archive '%s': the entry '%s' cannot be written safely, "
            "because %s.",
            archive, shownName.c_str(), problem.c_str());
        return false;
    }
    if ((info.flags & ZIP_FLAG_ENCRYPTED) != 0) {
        ShowError(
            "Couldn't extract archive '%s': the entry '%s' is encrypted, which is not "
            "supported.",
            archive, shownName.c_str());
        return false;
    }
    if (info.method != ZIP_METHOD_STORED && info.method != ZIP_METHOD_DEFLATED) {
        ShowError(
            "Couldn't extract archive '%s': the entry '%s' uses compression method %u, "
            "which is not supported.",
            archive, shownName.c_str(), info.method);
        return false;
    }
    const std::string outputPath = OutputPath(targetFolder, WrittenFileName(info));
    if (outputPath.size() > MAX_PATH_LENGTH) {
        ShowError("Couldn't create file '%s': the path is longer than %d characters.",
                  outputPath.c_str(), static_cast<int>(MAX_PATH_LENGTH));
        return false;
    }
    if (OverwritesArchiveInUse(outputPath, openArchives)) {
        ShowError(
            "Couldn't extract archive '%s': the entry '%s' would overwrite the archive "
            "'%s' while it is being unpacked.",
            archive, shownName.c_str(), outputPath.c_str());
        return false;
    }
    return true;
}

bool CheckFreeSpace(const std::string& archivePath, const std::string& targetFolder,
                    std::uint64_t neededBytes) {
    std::uint64_t freeBytes = 0;
    const Win32Error error = TheMachine().FreeDiskSpace(targetFolder, freeBytes);
    if (error != ERR_SUCCESS) {
        ShowError("Couldn't get the free disk space of '%s', error code=%d", targetFolder.c_str(),
                  static_cast<int>(error));
        return false;
    }
    if (neededBytes <= freeBytes) {
        return true;
    }
    ShowError(
        "Couldn't extract archive '%s': its files need %llu bytes, but only %llu bytes "
        "are free on the drive of '%s'.",
        archivePath.c_str(), static_cast<unsigned long long>(neededBytes),
        static_cast<unsigned long long>(freeBytes), targetFolder.c_str());
    return false;
}

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
    return a + b < a ? UINT64_MAX : a + b;
}

}  // namespace

bool CheckArchiveBeforeExtraction(ZipReader& reader, const std::string& archivePath,
                                  const std::string& targetFolder,
                                  const std::vector<std::string>& openArchives,
                                  ExtractionPlan& plan) {
    plan = {};
    std::vector<std::uint64_t> sizes;
    std::map<std::string, ClaimedFile> claims;
    const bool entriesPass = ForEachEntry(reader, [&](const ZipEntryInfo& info) {
        const std::size_t index = plan.skipped.size();
        const bool leftover = IsPackerLeftover(info.name);
        plan.skipped.push_back(leftover || IsFolderEntry(info));
        sizes.push_back(info.uncompressedSize);
        if (leftover) {
            return true;
        }
        return CheckEntry(info, archivePath, targetFolder, openArchives) &&
               (IsFolderEntry(info) || CheckFileClaim(info, index, archivePath, claims, plan));
    });
    for (std::size_t index = 0; index < sizes.size(); ++index) {
        if (!plan.skipped[index]) {
            plan.declaredBytes = SaturatingAdd(plan.declaredBytes, sizes[index]);
        }
    }
    return entriesPass && CheckFreeSpace(archivePath, targetFolder, plan.declaredBytes);
}

}  // namespace parvane
