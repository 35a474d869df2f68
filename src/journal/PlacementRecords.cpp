#include "journal/PlacementRecords.h"

#include <charconv>
#include <memory>

#include "base/DigestText.h"
#include "base/OverlappedSha1.h"
#include "base/PathText.h"
#include "base/StateFolder.h"
#include "journal/JournalFile.h"

namespace parvane {

namespace {

constexpr std::size_t HASH_BLOCK = 1 << 20;

std::string RecordsFolder() {
    return StateFolder() + "\\records";
}

std::string RecordPath(const std::string& guidText) {
    return JoinPath(RecordsFolder(), guidText + ".txt");
}

std::uint64_t Number(const std::string& text) {
    std::uint64_t number = 0;
    std::from_chars(text.data(), text.data() + text.size(), number);
    return number;
}

}  // namespace

bool HashFile(Machine& machine, const std::string& path, std::uint64_t& size, std::string& sha1) {
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> stream = machine.OpenFile(path, FileMode::Read, error);
    if (!stream) {
        return false;
    }
    OverlappedSha1 digest(HASH_BLOCK);
    size = 0;
    for (std::size_t got = 0;
         (got = stream->Read(digest.Buffer().data(), digest.Buffer().size())) > 0;) {
        digest.Add(got);
        size += got;
    }
    const bool read = stream->Error() == ERR_SUCCESS;
    stream->Close();
    sha1 = Sha1DigestText(digest.Finish());
    return read;
}

// Written under a temporary name and moved over the old record, so that a record is whole.
bool WritePlacementRecord(Machine& machine, const PlacementRecord& record) {
    machine.MakeFolder(RecordsFolder());
    std::string text = EncodeRecord({"entry", {record.guidText, record.kind, record.name}}) +
                       EncodeRecord({"archive", {record.archiveName, record.archiveSha1}}) +
                       EncodeRecord({"time", {record.time}});
    for (const PlacedFile& file : record.files) {
        text += EncodeRecord({"file", {std::to_string(file.size), file.sha1, file.path}});
    }
    const std::string path = RecordPath(record.guidText);
    const std::string fresh = path + ".new";
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> stream = machine.OpenFile(fresh, FileMode::Write, error);
    if (!stream) {
        return false;
    }
    const bool written = stream->Write(text.data(), text.size()) == text.size() &&
                         stream->Sync() == ERR_SUCCESS && stream->Close() == ERR_SUCCESS;
    return written && machine.MoveFileOver(fresh, path) == ERR_SUCCESS;
}

bool ReadPlacementRecord(Machine& machine, const std::string& guidText, PlacementRecord& record) {
    std::string text;
    if (ReadWholeFile(machine, RecordPath(guidText), text) != ERR_SUCCESS) {
        return false;
    }
    record = {};
    for (const JournalRecord& line : DecodeRecords(text)) {
        if (line.tag == "entry") {
            record.guidText = line.Field(0);
            record.kind = line.Field(1);
            record.name = line.Field(2);
        } else if (line.tag == "archive") {
            record.archiveName = line.Field(0);
            record.archiveSha1 = line.Field(1);
        } else if (line.tag == "time") {
            record.time = line.Field(0);
        } else if (line.tag == "file") {
            record.files.push_back({line.Field(2), Number(line.Field(0)), line.Field(1)});
        }
    }
    return record.guidText == guidText;
}

void RemovePlacementRecord(Machine& machine, const std::string& guidText) {
    machine.RemoveFile(RecordPath(guidText));
}

std::vector<FileProblem> VerifyPlacedFiles(Machine& machine, const PlacementRecord& record) {
    std::vector<FileProblem> problems;
    for (const PlacedFile& file : record.files) {
        std::uint32_t attributes = 0;
        std::uint64_t size = 0;
        std::string sha1;
        if (machine.GetAttributes(file.path, attributes) != ERR_SUCCESS ||
            (attributes & ATTR_DIRECTORY) != 0) {
            problems.push_back({file.path, true});
        } else if (!HashFile(machine, file.path, size, sha1) || size != file.size ||
                   sha1 != file.sha1) {
            problems.push_back({file.path, false});
        }
    }
    return problems;
}

}  // namespace parvane
