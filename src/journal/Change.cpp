#include "journal/Change.h"

#include <chrono>
#include <ctime>
#include <memory>

#include "base/Messages.h"
#include "base/PathText.h"
#include "base/StateFolder.h"
#include "journal/ChangeOutcome.h"
#include "journal/FileDigests.h"
#include "journal/History.h"
#include "journal/JournalingMachine.h"

namespace parvane {

namespace {

struct ActiveChange {
    Machine* outer = nullptr;
    JournalWriter writer;
    JournalRecords records;
    std::unique_ptr<JournalingMachine> machine;
    Win32Error lostEntry = ERR_SUCCESS;  // an entry the journal could not take
};

std::unique_ptr<ActiveChange> active;

std::string LocalTimeText() {
    const std::time_t now = std::time(nullptr);
    char text[32] = "";
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
    return text;
}

std::string ChangeId() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// The state folder with every missing folder above it.
void MakeFolderChain(Machine& machine, const std::string& folder) {
    std::uint32_t attributes = 0;
    if (folder.size() <= 3 || machine.GetAttributes(folder, attributes) == ERR_SUCCESS) {
        return;
    }
    MakeFolderChain(machine, std::string(FolderTextPart(folder)));
    machine.MakeFolder(folder);
}

bool RollBack(Machine& machine, ActiveChange& change) {
    const std::vector<std::string> missing = MissingKeptFiles(machine, change.records, 0);
    std::string problem;
    for (const std::string& line : missing) {
        problem += (problem.empty() ? "" : "\n") + line;
    }
    if (!problem.empty() || !UndoSteps(machine, change.writer, change.records, 0, problem)) {
        change.writer.Close();
        ShowUndoFailure(change.records, problem);
        return false;
    }
    if (MadeAnyStep(change.records)) {
        RecordChangeOutcome(machine, change.records, RESULT_NOT_COMPLETED);
    }
    ClearJournal(machine, change.writer, change.records);
    return false;
}

bool Commit(Machine& machine, ActiveChange& change) {
    if (change.writer.Append({step::COMMIT, {}}, Durability::Synced) != ERR_SUCCESS) {
        ShowError("Couldn't write the journal '%s'.", JournalPath().c_str());
        return RollBack(machine, change);
    }
    change.records.push_back({step::COMMIT, {}});
    std::string problem;
    if (!ApplyRegistryChanges(machine, change.records, problem)) {
        ShowError("%s", problem.c_str());
        change.writer.Append({step::ABORT, {}}, Durability::Synced);
        change.records.push_back({step::ABORT, {}});
        return RollBack(machine, change);
    }
    if (!RecordChangeOutcome(machine, change.records, RESULT_COMPLETED)) {
        ShowWarning(
            "The record of what this change placed, or its line in the history, could "
            "not be written in '%s'.",
            StateFolder().c_str());
    }
    ClearJournal(machine, change.writer, change.records);
    return true;
}

}  // namespace

bool BeginChange(ChangeKind kind, const std::string& title, const std::string& archivePath) {
    if (StateFolder().empty() || active) {
        return true;
    }
    Machine& machine = TheMachine();
    const std::string path = JournalPath();
    MakeFolderChain(machine, StateFolder());
    std::uint32_t attributes = 0;
    if (machine.GetAttributes(path, attributes) == ERR_SUCCESS) {
        ShowError(
            "The journal of an earlier change that could not be undone is still in '%s'.\n"
            "Start Parvane again to undo that change before you install or uninstall anything.",
            path.c_str());
        return false;
    }
    std::string temp;
    const Win32Error noTemp = machine.TempPath(temp);
    if (noTemp != ERR_SUCCESS) {
        ShowError("Couldn't find the temporary folder, return code=%d", static_cast<int>(noTemp));
        return false;
    }
    auto change = std::make_unique<ActiveChange>();
    change->outer = &machine;
    const std::string id = ChangeId();
    const JournalRecord header{step::JOURNAL,
                               {kind == ChangeKind::Install ? CHANGE_INSTALL : CHANGE_UNINSTALL,
                                title, archivePath, id, LocalTimeText()}};
    Win32Error error = change->writer.Open(machine, path, FileMode::Write);
    if (error == ERR_SUCCESS) {
        error = change->writer.Append(header, Durability::Synced);
    }
    if (error != ERR_SUCCESS) {
        change->writer.Close();
        machine.RemoveFile(path);
        ShowError("Couldn't write the journal '%s', return code=%d", path.c_str(),
                  static_cast<int>(error));
        return false;
    }
    change->records.push_back(header);
    change->machine =
        std::make_unique<JournalingMachine>(machine, change->writer, change->records, id, temp);
    SetMachine(change->machine.get());
    active = std::move(change);
    return true;
}

void NoteChangeEntry(bool installed, bool isCourse, const std::string& guidText,
                     const std::string& name, const std::string& filename) {
    if (!active) {
        return;
    }
    const JournalRecord entry{step::ENTRY,
                              {installed ? ENTRY_INSTALLED : ENTRY_REMOVED,
                               isCourse ? "course" : "library", guidText, name, filename}};
    const Win32Error error = active->writer.Append(entry, Durability::Buffered);
    if (error == ERR_SUCCESS) {
        active->records.push_back(entry);
    } else {
        active->lostEntry = error;
    }
}

std::size_t ChangeMark() {
    return active ? active->records.size() : 0;
}

bool UndoChangeTo(std::size_t mark) {
    if (!active) {
        return true;
    }
    std::string problem;
    const bool undone = UndoSteps(*active->outer, active->writer, active->records, mark, problem);
    active->machine->ForgetOwnPaths();
    if (!undone) {
        ShowUndoFailure(active->records, problem);
    }
    return undone;
}

bool EndChange(bool succeeded) {
    if (!active) {
        return succeeded;
    }
    const std::unique_ptr<ActiveChange> change = std::move(active);
    SetMachine(change->outer);
    struct DigestsForgotten {
        ~DigestsForgotten() { ForgetFileDigests(); }
    } forgotten;
    if (succeeded && change->lostEntry != ERR_SUCCESS) {
        ShowError("Couldn't write the journal '%s', return code=%d", JournalPath().c_str(),
                  static_cast<int>(change->lostEntry));
        return RollBack(*change->outer, *change);
    }
    // A package whose every library failed has nothing left to commit.
    return succeeded && HasEntries(change->records) ? Commit(*change->outer, *change)
                                                    : RollBack(*change->outer, *change);
}

}  // namespace parvane
