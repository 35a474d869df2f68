#include "journal/JournalFile.h"

#include <charconv>

#include "base/PathText.h"
#include "base/StateFolder.h"

namespace parvane {

namespace {

constexpr const char* JOURNAL_FILE_NAME = "change.journal";

void AppendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
}

char Unescaped(char c) {
    switch (c) {
        case 't':
            return '\t';
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        default:
            return c;
    }
}

JournalRecord DecodeLine(std::string_view line) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\t') {
            parts.emplace_back();
        } else if (line[i] == '\\' && i + 1 < line.size()) {
            parts.back() += Unescaped(line[++i]);
        } else {
            parts.back() += line[i];
        }
    }
    JournalRecord record{std::move(parts.front()), {}};
    record.fields.assign(std::make_move_iterator(parts.begin() + 1),
                         std::make_move_iterator(parts.end()));
    return record;
}

}  // namespace

const std::string& JournalRecord::Field(std::size_t index) const {
    static const std::string none;
    return index < fields.size() ? fields[index] : none;
}

std::uint64_t JournalRecord::Number(std::size_t index) const {
    const std::string& text = Field(index);
    std::uint64_t number = 0;
    std::from_chars(text.data(), text.data() + text.size(), number);
    return number;
}

std::string JournalPath() {
    return StateFolder().empty() ? std::string() : JoinPath(StateFolder(), JOURNAL_FILE_NAME);
}

std::string EncodeRecord(const JournalRecord& record) {
    std::string line;
    AppendEscaped(line, record.tag);
    for (const std::string& field : record.fields) {
        line += '\t';
        AppendEscaped(line, field);
    }
    return line + '\n';
}

std::vector<JournalRecord> DecodeRecords(std::string_view text) {
    std::vector<JournalRecord> records;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
        records.push_back(DecodeLine(text.substr(0, end)));
        text.remove_prefix(end + 1);
    }
    return records;
}

Win32Error ReadWholeFile(Machine& machine, const std::string& path, std::string& text) {
    text.clear();
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> stream = machine.OpenFile(path, FileMode::Read, error);
    if (!stream) {
        return error;
    }
    char buffer[65536];
    for (std::size_t got = 0; (got = stream->Read(buffer, sizeof buffer)) > 0;) {
        text.append(buffer, got);
    }
    error = stream->Error();
    const Win32Error closed = stream->Close();
    return error != ERR_SUCCESS ? error : closed;
}

Win32Error JournalWriter::Open(Machine& machine, const std::string& path, FileMode mode) {
    Win32Error error = ERR_SUCCESS;
    stream = machine.OpenFile(path, mode, error);
    return error;
}

Win32Error JournalWriter::Append(const JournalRecord& record, Durability durability) {
    if (!stream) {
        return ERR_INVALID_HANDLE;
    }
    const std::string line = EncodeRecord(record);
    if (stream->Write(line.data(), line.size()) != line.size()) {
        return stream->Error() != ERR_SUCCESS ? stream->Error() : ERR_GEN_FAILURE;
    }
    switch (durability) {
        case Durability::Buffered:
            return ERR_SUCCESS;
        case Durability::Flushed:
            return stream->Flush();
        case Durability::Synced:
            return stream->Sync();
    }
    return ERR_SUCCESS;
}

Win32Error JournalWriter::Close() {
    if (!stream) {
        return ERR_SUCCESS;
    }
    const Win32Error error = stream->Close();
    stream.reset();
    return error;
}

}  // namespace parvane
