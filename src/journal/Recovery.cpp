#include "journal/Recovery.h"

#include "base/Messages.h"
#include "journal/ChangeOutcome.h"
#include "journal/History.h"
#include "journal/JournalSteps.h"

namespace parvane {

namespace {

bool CompleteChange(Machine& machine, JournalWriter& writer, const JournalRecords& records) {
    std::string problem;
    if (!ApplyRegistryChanges(machine, records, problem)) {
        ShowError(
            "%s was interrupted after it was complete, and its registry entries cannot be "
            "written now:\n%s\n\nThe journal of the change stays in '%s'; Parvane completes the "
            "change when it starts next.",
            ChangeDescription(records).c_str(), problem.c_str(), JournalPath().c_str());
        return false;
    }
    RecordChangeOutcome(machine, records, RESULT_FINISHED);
    ClearJournal(machine, writer, records);
    ShowInformation("%s was interrupted after it was complete, and has been completed.",
                    ChangeDescription(records).c_str());
    return true;
}

bool UndoChange(Machine& machine, JournalWriter& writer, JournalRecords& records) {
    std::string problem;
    for (const std::string& line : MissingKeptFiles(machine, records, 0)) {
        problem += (problem.empty() ? "" : "\n") + line;
    }
    if (!problem.empty() || !UndoSteps(machine, writer, records, 0, problem)) {
        writer.Close();
        ShowUndoFailure(records, problem);
        return false;
    }
    if (MadeAnyStep(records)) {
        RecordChangeOutcome(machine, records, RESULT_INTERRUPTED);
    }
    ClearJournal(machine, writer, records);
    ShowInformation("%s was interrupted and has been undone.", ChangeDescription(records).c_str());
    return true;
}

}  // namespace

bool RecoverInterruptedChange() {
    const std::string path = JournalPath();
    if (path.empty()) {
        return true;
    }
    Machine& machine = TheMachine();
    std::string text;
    const Win32Error error = ReadWholeFile(machine, path, text);
    if (error == ERR_FILE_NOT_FOUND || error == ERR_PATH_NOT_FOUND) {
        return true;
    }
    if (error != ERR_SUCCESS) {
        ShowError("Couldn't read the journal of an interrupted change '%s', return code=%d",
                  path.c_str(), static_cast<int>(error));
        return false;
    }
    JournalRecords records = DecodeRecords(text);
    JournalWriter writer;
    if (records.empty()) {  // cut before its first line was whole: nothing was done yet
        ClearJournal(machine, writer, records);
        return true;
    }
    if (records.front().tag != step::JOURNAL) {
        ShowError(
            "The journal of an interrupted change '%s' cannot be read; it is left as it "
            "is.",
            path.c_str());
        return false;
    }
    writer.Open(machine, path, FileMode::Append);
    const bool committed = HasRecord(records, step::COMMIT) && !HasRecord(records, step::ABORT);
    return committed ? CompleteChange(machine, writer, records)
                     : UndoChange(machine, writer, records);
}

}  // namespace parvane
