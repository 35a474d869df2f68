#include "journal/JournalSteps.h"

#include <map>
#include <set>
#include <string_view>
#include <utility>

#include "base/Messages.h"
#include "platform/AsciiCase.h"

namespace parvane {

namespace {

bool Exists(Machine& machine, const std::string& path) {
    std::uint32_t attributes = 0;
    return machine.GetAttributes(path, attributes) == ERR_SUCCESS;
}

bool Is(const JournalRecord& record, std::string_view tag) {
    return record.tag == tag;
}

bool IsKeeping(const JournalRecord& record) {
    return Is(record, step::REPLACED) || Is(record, step::DELETED);
}

// The records that are no steps any more: their call failed, or they were undone.
std::set<std::size_t> Withdrawn(const JournalRecords& records) {
    std::set<std::size_t> withdrawn;
    for (const JournalRecord& record : records) {
        if (Is(record, step::FAILED) || Is(record, step::UNDONE)) {
            withdrawn.insert(record.Number(0));
        }
    }
    return withdrawn;
}

// A step is known to have been made when anything but an undo was written after it: the
// journal is written in the order of the calls.
bool WasMade(const JournalRecords& records, std::size_t index) {
    for (std::size_t later = index + 1; later < records.size(); ++later) {
        if (!Is(records[later], step::UNDONE)) {
            return true;
        }
    }
    return false;
}

std::string Failure(const char* what, const std::string& path, Win32Error error) {
    return std::string(what) + " '" + path + "', return code=" + std::to_string(error);
}

// The undo of one step; empty when done or when there was nothing to undo.
std::string UndoStep(Machine& machine, const JournalRecords& records, std::size_t index) {
    const JournalRecord& record = records[index];
    const std::string& path = record.Field(0);
    Win32Error error = ERR_SUCCESS;
    if (Is(record, step::CREATED_FILE)) {
        std::uint32_t attributes = 0;
        if (machine.GetAttributes(path, attributes) == ERR_SUCCESS &&
            (attributes & ATTR_DIRECTORY) == 0 && (error = machine.RemoveFile(path)) != 0) {
            return Failure("Couldn't delete the new file", path, error);
        }
    } else if (Is(record, step::CREATED_FOLDER)) {
        if (Exists(machine, path) && (error = machine.RemoveEmptyFolder(path)) != 0) {
            return Failure("Couldn't remove the new folder", path, error);
        }
    } else if (IsKeeping(record)) {
        const std::string& kept = record.Field(1);
        if (Exists(machine, kept) && (error = machine.MoveFileOver(kept, path)) != 0) {
            return Failure("Couldn't put back", path, error) + " from '" + kept + "'";
        }
    } else if (Is(record, step::MOVED)) {
        const std::string& target = record.Field(1);
        if (Exists(machine, target) && !Exists(machine, path) &&
            (error = machine.MoveFileTo(target, path)) != 0) {
            return Failure("Couldn't move back", path, error) + " from '" + target + "'";
        }
    } else if (Is(record, step::REMOVED_FOLDER)) {
        if (!Exists(machine, path) && (error = machine.MakeFolder(path)) != 0) {
            return Failure("Couldn't make the folder", path, error) + " again";
        }
    }
    return {};
}

Hive HiveOf(const JournalRecord& record) {
    return static_cast<Hive>(record.Number(0));
}

}  // namespace

bool HasRecord(const JournalRecords& records, const char* tag) {
    for (const JournalRecord& record : records) {
        if (Is(record, tag)) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> MissingKeptFiles(Machine& machine, const JournalRecords& records,
                                          std::size_t from) {
    const std::set<std::size_t> withdrawn = Withdrawn(records);
    std::vector<std::string> missing;
    for (std::size_t index = from; index < records.size(); ++index) {
        const JournalRecord& record = records[index];
        if (IsKeeping(record) && !withdrawn.contains(index) && WasMade(records, index) &&
            !Exists(machine, record.Field(1))) {
            missing.push_back("'" + record.Field(0) + "': its kept copy '" + record.Field(1) +
                              "' is missing");
        }
    }
    return missing;
}

bool UndoSteps(Machine& machine, JournalWriter& writer, JournalRecords& records, std::size_t from,
               std::string& problem) {
    const std::set<std::size_t> withdrawn = Withdrawn(records);
    for (std::size_t index = records.size(); index-- > from;) {
        const std::string_view tag = records[index].tag;
        if (withdrawn.contains(index) || tag == step::FAILED || tag == step::UNDONE ||
            tag == step::KEPT_FOLDER || tag == step::JOURNAL) {
            continue;
        }
        problem = UndoStep(machine, records, index);
        if (!problem.empty()) {
            return false;
        }
        JournalRecord undone{step::UNDONE, {std::to_string(index)}};
        if (writer.IsOpen()) {
            writer.Append(undone, Durability::Synced);
        }
        records.push_back(std::move(undone));
    }
    return true;
}

bool ApplyRegistryChanges(Machine& machine, const JournalRecords& records, std::string& problem) {
    const std::set<std::size_t> withdrawn = Withdrawn(records);
    std::map<std::pair<Hive, std::string>, KeyHandle> open;
    std::vector<std::pair<Hive, std::string>> created;
    const auto closeAll = [&] {
        for (const auto& [place, handle] : open) {
            const Win32Error error = machine.CloseKey(handle);
            if (error != ERR_SUCCESS && problem.empty()) {
                problem = "Couldn't save the registry entry '" + place.second +
                          "', return code=" + std::to_string(error);
            }
        }
        open.clear();
        return problem.empty();
    };
    const auto opened = [&](const JournalRecord& record, KeyHandle& handle) {
        const std::pair<Hive, std::string> place{HiveOf(record), record.Field(1)};
        if (open.contains(place)) {
            handle = open.at(place);
            return true;
        }
        if (!closeAll()) {
            return false;
        }
        const Win32Error error =
            machine.CreateKey(place.first, place.second, record.Field(2), handle);
        if (error != ERR_SUCCESS) {
            problem = "RegCreateKeyEx returned " + std::to_string(error);
            return false;
        }
        open[place] = handle;
        return true;
    };
    bool applied = true;
    for (std::size_t index = 0; applied && index < records.size(); ++index) {
        const JournalRecord& record = records[index];
        KeyHandle handle = 0;
        if (withdrawn.contains(index)) {
            continue;
        }
        if (Is(record, step::CREATED_KEY)) {
            applied = opened(record, handle);
            if (applied && record.Field(3) == "0") {
                created.emplace_back(HiveOf(record), record.Field(1));
            }
        } else if (Is(record, step::VALUE)) {
            const JournalRecord key{step::CREATED_KEY, {record.Field(0), record.Field(1), {}}};
            applied = opened(key, handle);
            const auto type = static_cast<std::uint32_t>(record.Number(3));
            const Win32Error error =
                applied ? machine.SetValue(handle, record.Field(2), type, record.Field(4)) : 0;
            if (error != ERR_SUCCESS) {
                problem = "RegSetValueEx returned " + std::to_string(error);
                applied = false;
            }
        } else if (Is(record, step::DELETED_KEY)) {
            applied = closeAll();
            const Win32Error error =
                applied ? machine.DeleteKey(HiveOf(record), record.Field(1)) : 0;
            if (error != ERR_SUCCESS && error != ERR_FILE_NOT_FOUND) {
                problem = "RegDeleteKey returned " + std::to_string(error);
                applied = false;
            }
        }
    }
    if (applied) {
        return closeAll();
    }
    // Keys this change created would hold part of an entry: they go again, each before its
    // handle is closed, since on the Wine backend closing it would write it first.
    for (const auto& [hive, path] : created) {
        const Win32Error error = machine.DeleteKey(hive, path);
        if (error != ERR_SUCCESS && error != ERR_FILE_NOT_FOUND) {
            problem += "\nThe new entry '" + path +
                       "' could not be removed again, return code=" + std::to_string(error) + ".";
        }
    }
    for (const auto& [place, handle] : open) {
        machine.CloseKey(handle);  // the failure is already reported
    }
    return false;
}

void ClearJournal(Machine& machine, JournalWriter& writer, const JournalRecords& records) {
    writer.Close();
    const bool completed = HasRecord(records, step::COMMIT) && !HasRecord(records, step::ABORT);
    for (const JournalRecord& record : records) {
        if (completed && IsKeeping(record) && Exists(machine, record.Field(1))) {
            machine.RemoveFile(record.Field(1));
        }
    }
    std::string left;
    for (const JournalRecord& record : records) {
        const Win32Error error =
            Is(record, step::KEPT_FOLDER) ? machine.RemoveEmptyFolder(record.Field(0)) : 0;
        if (error != ERR_SUCCESS && error != ERR_FILE_NOT_FOUND && error != ERR_PATH_NOT_FOUND) {
            left += "\n" + record.Field(0);
        }
    }
    if (!left.empty()) {
        ShowWarning(
            "The files Parvane kept aside during the change could not all be deleted. "
            "They are no longer needed, and you may delete them:%s",
            left.c_str());
    }
    machine.RemoveFile(JournalPath());
}

std::string ChangeDescription(const JournalRecords& records) {
    const JournalRecord& header = records.front();
    return std::string(header.Field(0) == CHANGE_UNINSTALL ? "The removal of '"
                                                           : "The installation of '") +
           header.Field(1) + "'";
}

}  // namespace parvane
