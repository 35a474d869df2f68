#include "archive/ExtractArchive.h"

#include <libdeflate.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "archive/ArchiveChecks.h"
#include "archive/EntryNames.h"
#include "archive/OriginLists.h"
#include "archive/ZipReader.h"
#include "archive/ZipWalk.h"
#include "base/DigestText.h"
#include "base/Messages.h"
#include "base/OverlappedSha1.h"
#include "base/PathText.h"
#include "base/StopRequest.h"
#include "journal/FileDigests.h"
#include "platform/AsciiCase.h"
#include "platform/ErrorText.h"
#include "platform/Machine.h"
#include "platform/UserInterface.h"

namespace parvane {

namespace {

// The long path names of the archives being unpacked, outermost first. No entry may be
// written over one of them while it is read.
using ArchiveChain = std::vector<std::string>;

// A file written whole whose SHA-1 is still being taken.
struct PendingDigest {
    std::string path;
    std::uint64_t size = 0;
};

struct Extraction {
    // The SHA-1 for the record of what is placed. An entry's digest is finished when the next
    // entry's bytes are at hand, so that the next entry inflates while the last one is hashed.
    OverlappedSha1 entryDigest{ZIP_DATA_BLOCK_SIZE};
    std::optional<PendingDigest> pendingDigest;
    ArchiveChain chain = {};
    // The bytes written for the outermost archive's entries: the progress shown to the user.
    std::uint64_t outerBytesWritten = 0;
};

std::string LongPathOr(const std::string& path) {
    std::string longPath;
    return TheMachine().LongPathName(path, longPath) == ERR_SUCCESS ? longPath : path;
}

class ChainLink {
  public:
    ChainLink(ArchiveChain& archiveChain, const std::string& archivePath) : chain(archiveChain) {
        chain.push_back(LongPathOr(archivePath));
    }
    ~ChainLink() { chain.pop_back(); }
    ChainLink(const ChainLink&) = delete;
    ChainLink& operator=(const ChainLink&) = delete;

  private:
    ArchiveChain& chain;
};

void RecordFolderOrigin(const ZipEntryInfo& info, const std::string& fileName) {
    const std::string_view folder = FolderTextPart(info.name);
    if (EndsWithNoCase(folder, "/prv") || EqualsNoCase(folder, "prv")) {
        AddPrvFile(fileName);
    } else if (EndsWithNoCase(folder, "/sounds") || EqualsNoCase(folder, "sounds")) {
        AddSoundsFile(fileName);
    }
}

// An output file that is closed on every path; Finish reports the close.
class OutputFile {
  public:
    explicit OutputFile(std::unique_ptr<FileStream> openStream) : stream(std::move(openStream)) {}
    ~OutputFile() {
        if (stream) {
            stream->Close();
        }
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    FileStream& Stream() { return *stream; }
    Win32Error Finish() {
        const Win32Error error = stream->Close();
        stream.reset();
        return error;
    }

  private:
    std::unique_ptr<FileStream> stream;
};

void FinishPendingDigest(Extraction& extraction) {
    if (extraction.pendingDigest) {
        RememberFileDigest(extraction.pendingDigest->path, extraction.pendingDigest->size,
                           Sha1DigestText(extraction.entryDigest.Finish()));
        extraction.pendingDigest.reset();
    }
}

bool CopyAndCheckEntryData(ZipReader& reader, const ZipEntryInfo& info, const std::string& fileName,
                           const std::string& outputPath, OutputFile& output,
                           Extraction& extraction) {
    std::uint64_t writtenBytes = 0;
    std::uint32_t crc = 0;
    OverlappedSha1& digest = extraction.entryDigest;
    for (;;) {
        if (IsStopRequested()) {
            ShowStoppedMessage();
            return false;
        }
        const std::span<char> block = digest.Buffer();
        const char* bytes = nullptr;
        const int count = reader.ReadEntryData(block.data(), block.size(), bytes);
        FinishPendingDigest(extraction);
        if (count == 0) {
            break;
        }
        if (count < 0) {
            ShowError("Couldn't read compressed file '%s', return code=%d", fileName.c_str(),
                      count);
            return false;
        }
        const auto size = static_cast<std::size_t>(count);
        // The SHA-1 is taken on the digest's thread while the CRC-32 is taken and the bytes are
        // written here.
        if (bytes == block.data()) {
            digest.Add(size);
        } else {
            digest.AddHeld({bytes, size});
        }
        crc = libdeflate_crc32(crc, bytes, size);
        if (output.Stream().Write(bytes, size) != size) {
            ShowError("Couldn't write target file '%s': %s", outputPath.c_str(),
                      RuntimeErrorText(output.Stream().Error()).c_str());
            return false;
        }
        writtenBytes += size;
        if (extraction.chain.size() == 1) {
            extraction.outerBytesWritten += size;
            TheUserInterface().AdvanceWork(extraction.outerBytesWritten);
        }
    }
    if (const int result = reader.CloseEntryData(); result != ZIPCODE_OK) {
        ShowError("Couldn't close compressed file '%s', return code=%d", fileName.c_str(), result);
        return false;
    }
    if (writtenBytes != info.uncompressedSize) {
        ShowError(
            "Couldn't read compressed file '%s': its data ends after %llu of its %llu "
            "bytes.",
            fileName.c_str(), static_cast<unsigned long long>(writtenBytes),
            static_cast<unsigned long long>(info.uncompressedSize));
        return false;
    }
    if (crc != info.crc) {
        ShowError("Couldn't close compressed file '%s', return code=%d", fileName.c_str(),
                  ZIPCODE_CRC_ERROR);
        return false;
    }
    extraction.pendingDigest = PendingDigest{outputPath, writtenBytes};
    return true;
}

bool WriteEntry(ZipReader& reader, const ZipEntryInfo& info, const std::string& fileName,
                const std::string& outputPath, Extraction& extraction) {
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> stream = TheMachine().OpenFile(outputPath, FileMode::Write, error);
    if (!stream) {
        ShowError("Couldn't create file '%s': %s", outputPath.c_str(),
                  RuntimeErrorText(error).c_str());
        return false;
    }
    OutputFile output(std::move(stream));
    if (const int result = reader.OpenEntryData(); result != ZIPCODE_OK) {
        ShowError("Couldn't open compressed file '%s', return code=%d", fileName.c_str(), result);
        return false;
    }
    if (!CopyAndCheckEntryData(reader, info, fileName, outputPath, output, extraction)) {
        return false;
    }
    if (const Win32Error closeError = output.Finish(); closeError != ERR_SUCCESS) {
        ShowError("Couldn't close file '%s': %s", outputPath.c_str(),
                  RuntimeErrorText(closeError).c_str());
        return false;
    }
    return true;
}

bool ExtractArchiveAt(const std::string& archivePath, const std::string& targetFolder,
                      bool expandInner, Extraction& extraction);

// Waits for the entries' hashing on every way out of an archive. A digest left unfinished
// there belongs to an extraction that failed, and is dropped.
class HashingOver {
  public:
    explicit HashingOver(Extraction& current) : extraction(current) {}
    ~HashingOver() {
        extraction.entryDigest.Finish();
        extraction.pendingDigest.reset();
    }
    HashingOver(const HashingOver&) = delete;
    HashingOver& operator=(const HashingOver&) = delete;

  private:
    Extraction& extraction;
};

bool ExpandInnerArchive(const std::string& fileName, const std::string& innerPath,
                        const std::string& targetFolder, Extraction& extraction) {
    const bool extracted = ExtractArchiveAt(innerPath, targetFolder, true, extraction);
    if (!extracted) {
        ShowError("Couldn't extract internal archive '%s', return code=%d", fileName.c_str(), 0);
        return false;
    }
    if (const Win32Error error = TheMachine().RemoveFile(innerPath); error != ERR_SUCCESS) {
        ShowError("Couldn't delete internal archive '%s', return code=%d", fileName.c_str(),
                  static_cast<int>(error));
        return false;
    }
    return true;
}

bool ExtractEntry(ZipReader& reader, const ZipEntryInfo& info, const std::string& archivePath,
                  const std::string& targetFolder, bool expandInner, Extraction& extraction) {
    const std::string fileName = WrittenFileName(info);
    RecordFolderOrigin(info, fileName);
    const std::string outputPath = OutputPath(targetFolder, fileName);
    if (!WriteEntry(reader, info, fileName, outputPath, extraction)) {
        return false;
    }
    if (EndsWithNoCase(archivePath, ".tcx")) {
        AddTcxFile(fileName);
    }
    if (expandInner && IsInnerArchiveName(fileName)) {
        FinishPendingDigest(extraction);
        return ExpandInnerArchive(fileName, outputPath, targetFolder, extraction);
    }
    return true;
}

// An archive that could not be read whole here has no digest: the record reads it again.
void RememberArchiveDigest(ZipReader& reader, const std::string& archivePath) {
    if (const std::optional<ArchiveFingerprint> digest = reader.FinishDigest()) {
        RememberFileDigest(archivePath, digest->size, digest->sha1);
    }
}

bool CreateTargetFolder(const std::string& targetFolder) {
    const Win32Error error = TheMachine().MakeFolder(targetFolder);
    if (error == ERR_SUCCESS || error == ERR_ALREADY_EXISTS) {
        return true;
    }
    ShowError("Couldn't create directory '%s', error code=%d", targetFolder.c_str(),
              static_cast<int>(error));
    return false;
}

bool ExtractArchiveAt(const std::string& archivePath, const std::string& targetFolder,
                      bool expandInner, Extraction& extraction) {
    ArchiveChain& chain = extraction.chain;
    if (chain.size() > MAX_INNER_ARCHIVE_DEPTH) {
        ShowError(
            "Couldn't extract internal archive '%s': archives nested more than %d levels "
            "deep are not unpacked.",
            archivePath.c_str(), MAX_INNER_ARCHIVE_DEPTH);
        return false;
    }
    if (!CreateTargetFolder(targetFolder)) {
        return false;
    }
    ChainLink link(chain, archivePath);
    const bool outermost = chain.size() == 1;
    ZipReader reader(archivePath, outermost ? ArchiveHashing::Hashed : ArchiveHashing::None);
    // The digest's thread may still be hashing bytes that the reader holds: the reader goes
    // only once the hashing is over, however the extraction ends.
    const HashingOver hashingOver(extraction);
    ExtractionPlan plan;
    if (!ReadArchiveInfo(reader) ||
        !CheckArchiveBeforeExtraction(reader, archivePath, targetFolder, chain, plan)) {
        return false;
    }
    if (outermost) {
        TheUserInterface().BeginWork("Unpacking " + GetFileNamePart(archivePath),
                                     plan.declaredBytes);
    }
    std::size_t index = 0;
    const bool extracted = ForEachEntry(reader, [&](const ZipEntryInfo& info) {
        if (index == plan.skipped.size()) {
            ShowError("Couldn't extract archive '%s': it changed while it was unpacked.",
                      archivePath.c_str());
            return false;
        }
        return plan.skipped[index++] ||
               ExtractEntry(reader, info, archivePath, targetFolder, expandInner, extraction);
    });
    if (extracted) {
        FinishPendingDigest(extraction);
    }
    if (extracted && outermost) {
        RememberArchiveDigest(reader, archivePath);
    }
    return extracted;
}

}  // namespace

bool ExtractArchive(const std::string& archivePath, const std::string& targetFolder,
                    bool expandInner) {
    Extraction extraction;
    const bool extracted = ExtractArchiveAt(archivePath, targetFolder, expandInner, extraction);
    TheUserInterface().EndWork();
    return extracted;
}

}  // namespace parvane
