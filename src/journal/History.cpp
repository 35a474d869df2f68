#include "journal/History.h"

#include <memory>

#include "base/StateFolder.h"
#include "journal/JournalFile.h"

namespace parvane {

namespace {

std::string HistoryPath() {
    return StateFolder() + "\\history.log";
}

}  // namespace

bool AppendHistory(Machine& machine, const std::vector<HistoryLine>& lines) {
    std::string text;
    for (const HistoryLine& line : lines) {
        text += EncodeRecord(
            {line.time, {line.kind, line.name, line.guidText, line.archive, line.result}});
    }
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> stream = machine.OpenFile(HistoryPath(), FileMode::Append, error);
    return stream && stream->Write(text.data(), text.size()) == text.size() &&
           stream->Sync() == ERR_SUCCESS && stream->Close() == ERR_SUCCESS;
}

bool ReadHistory(Machine& machine, std::vector<HistoryLine>& lines) {
    std::string text;
    const Win32Error error = ReadWholeFile(machine, HistoryPath(), text);
    if (error != ERR_SUCCESS) {
        return error == ERR_FILE_NOT_FOUND || error == ERR_PATH_NOT_FOUND;
    }
    for (const JournalRecord& record : DecodeRecords(text)) {
        lines.push_back({record.tag, record.Field(0), record.Field(1), record.Field(2),
                         record.Field(3), record.Field(4)});
    }
    return true;
}

}  // namespace parvane
