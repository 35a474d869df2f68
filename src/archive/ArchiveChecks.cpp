#include "archive/ArchiveChecks.h"

#include <cstdint>

#include "archive/EntryNames.h"
#include "archive/ZipWalk.h"
#include "base/AsciiCase.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "platform/Machine.h"

namespace parvane {

bool IsFolderEntry(const ZipEntryInfo& info) {
    return info.name.ends_with('/');
}

std::string WrittenFileName(const ZipEntryInfo& info) {
    return WindowsFileName(GetFileNamePart(info.name));
}

std::string OutputPath(const std::string& targetFolder, const std::string& fileName) {
    return targetFolder + "\\" + fileName;
}

namespace {

bool OverwritesArchiveInUse(const std::string& outputPath,
                            const std::vector<std::string>& openArchives) {
    std::string longPath;
    if (TheMachine().LongPathName(outputPath, longPath) != ERR_SUCCESS)
        return false;
    for (const std::string& archive : openArchives) {
        if (EqualsNoCase(archive, longPath))
            return true;
    }
    return false;
}

// Why an entry cannot be written safely, or empty when it can.
std::string EntryNameProblem(const ZipEntryInfo& info) {
    if (info.declaredNameLength != info.name.size())
        return "the name holds a control character";
    return UnsafeFileNameReason(GetFileNamePart(info.name));
}

bool CheckEntry(const ZipEntryInfo& info, const std::string& archivePath,
                const std::string& targetFolder, const std::vector<std::string>& openArchives) {
    const char* archive = archivePath.c_str();
    const std::string shownName = PrintableName(info.name);
    if (info.declaredNameLength > MAX_PATH_LENGTH) {
        ShowError(
            "Couldn't extract archive '%s': the name of the entry '%s...' is longer than "
            "%d characters.",
            archive, shownName.c_str(), static_cast<int>(MAX_PATH_LENGTH));
        return false;
    }
    if (IsFolderEntry(info))
        return true;
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
    if (neededBytes <= freeBytes)
        return true;
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
                                  std::uint64_t& declaredBytes) {
    declaredBytes = 0;
    const bool entriesPass = ForEachEntry(reader, [&](const ZipEntryInfo& info) {
        if (!CheckEntry(info, archivePath, targetFolder, openArchives))
            return false;
        if (!IsFolderEntry(info))
            declaredBytes = SaturatingAdd(declaredBytes, info.uncompressedSize);
        return true;
    });
    return entriesPass && CheckFreeSpace(archivePath, targetFolder, declaredBytes);
}

}  // namespace parvane
