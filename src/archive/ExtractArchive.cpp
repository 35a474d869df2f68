#include "archive/ExtractArchive.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "archive/ArchiveChecks.h"
#include "archive/EntriesInFlight.h"
#include "archive/EntryFile.h"
#include "archive/EntryNames.h"
#include "archive/OriginLists.h"
#include "archive/ZipReader.h"
#include "archive/ZipWalk.h"
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

struct Extraction {
    // The SHA-1 of a streamed entry, for the record of what is placed.
    OverlappedSha1 entryDigest{ZIP_DATA_BLOCK_SIZE};
    // The entries inflated whole, read before the entry at hand.
    EntriesInFlight inFlight;
    ArchiveChain chain = {};
    // The bytes read for the outermost archive's entries: the progress shown to the user.
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

void AdvanceProgress(Extraction& extraction, std::uint64_t size) {
    if (extraction.chain.size() == 1) {
        extraction.outerBytesWritten += size;
        TheUserInterface().AdvanceWork(extraction.outerBytesWritten);
    }
}

bool StopRequested() {
    if (IsStopRequested()) {
        ShowStoppedMessage();
        return true;
    }
    return false;
}

bool FinishOldestInFlight(Extraction& extraction) {
    return extraction.inFlight.FinishOldest([&extraction](std::uint64_t written) {
        AdvanceProgress(extraction, written);
        return !StopRequested();
    });
}

// Finishes the entries inflated whole that were read before; false at the first that failed,
// with its message.
bool FinishEntriesInFlight(Extraction& extraction) {
    while (!extraction.inFlight.Empty()) {
        if (!FinishOldestInFlight(extraction)) {
            return false;
        }
    }
    return true;
}

// Reads the entry's bytes block by block into the digest and the output file, and finishes it.
bool StreamEntry(ZipReader& reader, EntryFile& entry, Extraction& extraction) {
    OverlappedSha1& digest = extraction.entryDigest;
    for (;;) {
        if (StopRequested()) {
            return false;
        }
        const std::span<char> block = digest.Buffer();
        const int count = reader.ReadEntryData(block.data(), block.size());
        if (count == 0) {
            break;
        }
        if (count < 0) {
            entry.ShowReadError(count);
            return false;
        }
        const auto size = static_cast<std::size_t>(count);
        digest.Add(size);
        entry.Write(block.data(), size);
        if (entry.WriteFailed()) {
            entry.ShowWriteError();
            return false;
        }
        entry.Delivered(size);
        AdvanceProgress(extraction, size);
    }
    entry.ReadingEnded(reader.CloseEntryData());
    return entry.Finish(digest.Finish());
}

// Leaves the entry to inflate, hash and write beside the next ones, once there is room for it.
bool StartWholeEntry(ZipReader& reader, std::unique_ptr<EntryFile> entry,
                     std::unique_ptr<WholeEntry> data, Extraction& extraction) {
    if (StopRequested()) {
        return false;
    }
    while (!extraction.inFlight.HasRoomFor(*data)) {
        if (!FinishOldestInFlight(extraction)) {
            return false;
        }
    }
    entry->ReadingEnded(reader.CloseEntryData());
    extraction.inFlight.Start(reader, std::move(entry), std::move(data));
    return true;
}

// Reads the entry into its file: an entry inflated whole is finished later, in its turn. The
// failures of the entries read before come first.
bool WriteEntry(ZipReader& reader, const ZipEntryInfo& info, const std::string& fileName,
                const std::string& outputPath, Extraction& extraction) {
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> stream = TheMachine().OpenFile(outputPath, FileMode::Write, error);
    if (!stream) {
        if (FinishEntriesInFlight(extraction)) {
            ShowError("Couldn't create file '%s': %s", outputPath.c_str(),
                      RuntimeErrorText(error).c_str());
        }
        return false;
    }
    auto entry = std::make_unique<EntryFile>(std::move(stream), info, fileName, outputPath);
    if (const int result = reader.OpenEntryData(); result != ZIPCODE_OK) {
        if (FinishEntriesInFlight(extraction)) {
            ShowError("Couldn't open compressed file '%s', return code=%d", fileName.c_str(),
                      result);
        }
        return false;
    }
    if (std::unique_ptr<WholeEntry> data = reader.TakeWholeEntry()) {
        return StartWholeEntry(reader, std::move(entry), std::move(data), extraction);
    }
    return FinishEntriesInFlight(extraction) && StreamEntry(reader, *entry, extraction);
}

bool ExtractArchiveAt(const std::string& archivePath, const std::string& targetFolder,
                      bool expandInner, Extraction& extraction);

// Waits for the entries' writes and hashing on every way out of an archive. An entry left
// unfinished there belongs to an extraction that failed, and is dropped.
class EntryWorkOver {
  public:
    explicit EntryWorkOver(Extraction& current) : extraction(current) {}
    ~EntryWorkOver() {
        extraction.inFlight.Drop();
        extraction.entryDigest.Finish();
    }
    EntryWorkOver(const EntryWorkOver&) = delete;
    EntryWorkOver& operator=(const EntryWorkOver&) = delete;

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
        return FinishEntriesInFlight(extraction) &&
               ExpandInnerArchive(fileName, outputPath, targetFolder, extraction);
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
    // The entries in flight may still be hashing bytes that the reader gathered: the reader
    // goes only once they are dropped, however the extraction ends.
    const EntryWorkOver entryWorkOver(extraction);
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
    if (extracted && !FinishEntriesInFlight(extraction)) {
        return false;
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
