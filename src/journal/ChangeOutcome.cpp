#include "journal/ChangeOutcome.h"

#include <memory>
#include <set>

#include "base/Messages.h"
#include "base/PathText.h"
#include "journal/FileDigests.h"
#include "journal/History.h"
#include "journal/PlacementRecords.h"
#include "platform/AsciiCase.h"

namespace parvane {

namespace {

struct Entry {
    bool installed;
    bool isCourse;
    std::string guidText, name, filename;
};

std::vector<Entry> Entries(const JournalRecords& records) {
    std::set<std::size_t> undone;
    for (const JournalRecord& record : records) {
        if (record.tag == step::UNDONE) {
            undone.insert(record.Number(0));
        }
    }
    std::vector<Entry> entries;
    for (std::size_t index = 0; index < records.size(); ++index) {
        const JournalRecord& record = records[index];
        if (record.tag == step::ENTRY && !undone.contains(index)) {
            entries.push_back({record.Field(0) == ENTRY_INSTALLED, record.Field(1) == "course",
                               record.Field(2), record.Field(3), record.Field(4)});
        }
    }
    return entries;
}

// The files the change put in place and that are there now, each once.
std::vector<std::string> PlacedPaths(Machine& machine, const JournalRecords& records) {
    std::set<std::string> seen;
    std::vector<std::string> paths;
    for (const JournalRecord& record : records) {
        const bool places = record.tag == step::CREATED_FILE || record.tag == step::REPLACED;
        const std::string& path = record.tag == step::MOVED ? record.Field(1) : record.Field(0);
        std::uint32_t attributes = 0;
        if ((places || record.tag == step::MOVED) && seen.insert(ToUpperAscii(path)).second &&
            machine.GetAttributes(path, attributes) == ERR_SUCCESS &&
            (attributes & ATTR_DIRECTORY) == 0) {
            paths.push_back(path);
        }
    }
    return paths;
}

// The digest taken when the file was unpacked, while the file still has that size.
bool RecallDigest(Machine& machine, const std::string& path, PlacedFile& file) {
    if (!RecallFileDigest(path, file.size, file.sha1)) {
        return false;
    }
    Win32Error error = ERR_SUCCESS;
    const std::unique_ptr<FileStream> stream = machine.OpenFile(path, FileMode::Read, error);
    const bool sameSize = stream && stream->Seek(0, 2) == ERR_SUCCESS &&
                          stream->Tell() == static_cast<std::int64_t>(file.size);
    if (stream) {
        stream->Close();
    }
    return sameSize;
}

// A library's record holds its library file; a course's every other file of the change.
std::size_t OwnerOf(const std::string& path, const std::vector<Entry>& entries) {
    std::size_t course = entries.size();
    for (std::size_t index = 0; index < entries.size(); ++index) {
        if (EqualsNoCase(entries[index].filename, path)) {
            return index;
        }
        if (entries[index].isCourse) {
            course = index;
        }
    }
    return entries.size() == 1 ? 0 : course;
}

bool WriteRecords(Machine& machine, const JournalRecords& records,
                  const std::vector<Entry>& entries) {
    const JournalRecord& header = records.front();
    PlacementRecord common;
    common.archiveName = GetFileNamePart(header.Field(2));
    common.time = header.Field(4);
    PlacedFile archive;
    archive.path = header.Field(2);
    if (!archive.path.empty() && (RecallDigest(machine, archive.path, archive) ||
                                  HashFile(machine, archive.path, archive.size, archive.sha1))) {
        common.archiveSha1 = archive.sha1;
    }
    std::vector<PlacementRecord> placed;
    for (const Entry& entry : entries) {
        PlacementRecord record = common;
        record.guidText = entry.guidText;
        record.kind = entry.isCourse ? "course" : "library";
        record.name = entry.name;
        placed.push_back(std::move(record));
    }
    bool written = true;
    for (const std::string& path : PlacedPaths(machine, records)) {
        const std::size_t owner = OwnerOf(path, entries);
        PlacedFile file;
        file.path = path;
        if (owner < placed.size()) {
            written = (RecallDigest(machine, path, file) ||
                       HashFile(machine, path, file.size, file.sha1)) &&
                      written;
            placed[owner].files.push_back(std::move(file));
        }
    }
    for (const PlacementRecord& record : placed) {
        written = WritePlacementRecord(machine, record) && written;
    }
    return written;
}

}  // namespace

bool HasEntries(const JournalRecords& records) {
    return !Entries(records).empty();
}

bool MadeAnyStep(const JournalRecords& records) {
    for (const JournalRecord& record : records) {
        if (record.tag != step::JOURNAL && record.tag != step::FAILED &&
            record.tag != step::UNDONE && record.tag != step::KEPT_FOLDER) {
            return true;
        }
    }
    return false;
}

bool RecordChangeOutcome(Machine& machine, const JournalRecords& records, const char* result) {
    const JournalRecord& header = records.front();
    const bool completed =
        std::string_view(result) == RESULT_COMPLETED || std::string_view(result) == RESULT_FINISHED;
    const std::vector<Entry> entries = Entries(records);
    bool written = true;
    std::vector<HistoryLine> lines;
    const std::string archive = GetFileNamePart(header.Field(2));
    const HistoryLine line{
        header.Field(4), header.Field(0), header.Field(1), "-", archive.empty() ? "-" : archive,
        result};
    for (const Entry& entry : entries) {
        HistoryLine entryLine = line;
        entryLine.name = entry.name;
        entryLine.guidText = entry.guidText;
        PlacementRecord before;
        if (!entry.installed && ReadPlacementRecord(machine, entry.guidText, before)) {
            entryLine.archive = before.archiveName;
            if (completed) {
                RemovePlacementRecord(machine, entry.guidText);
            }
        }
        lines.push_back(std::move(entryLine));
    }
    if (completed && header.Field(0) == CHANGE_INSTALL) {
        written = WriteRecords(machine, records, entries);
    }
    if (lines.empty()) {
        lines.push_back(line);
    }
    return AppendHistory(machine, lines) && written;
}

void ShowUndoFailure(const JournalRecords& records, const std::string& problem) {
    std::set<std::string> folders;
    for (const JournalRecord& record : records) {
        if (record.tag == step::KEPT_FOLDER) {
            folders.insert(record.Field(0));
        }
    }
    std::string kept;
    for (const std::string& folder : folders) {
        kept += "\n" + folder;
    }
    ShowError(
        "%s could not be undone completely:\n%s\n\nThe files it replaced or deleted are kept "
        "in:%s\nThe journal of the change stays in '%s'; Parvane undoes the rest when it "
        "starts next, once what is named above is mended.",
        ChangeDescription(records).c_str(), problem.c_str(),
        kept.empty() ? "\n(none)" : kept.c_str(), JournalPath().c_str());
}

}  // namespace parvane
