#include "journal/JournalingMachine.h"

#include <cstdio>
#include <utility>

#include "base/PathText.h"
#include "journal/FileDigests.h"
#include "platform/AsciiCase.h"

namespace parvane {

namespace {

constexpr KeyHandle PENDING_KEY_BIT = KeyHandle{1} << (sizeof(KeyHandle) * 8 - 1);

std::string HiveText(Hive hive) {
    return std::to_string(static_cast<int>(hive));
}

std::string DriveOf(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' ? ToUpperAscii(path.substr(0, 2)) : std::string();
}

}  // namespace

JournalingMachine::JournalingMachine(Machine& wrapped, JournalWriter& journal,
                                     JournalRecords& written, std::string changeId,
                                     std::string temporaryFolder)
    : inner(wrapped),
      writer(journal),
      records(written),
      id(std::move(changeId)),
      temp(std::move(temporaryFolder)) {}

Win32Error JournalingMachine::Log(JournalRecord record, Durability durability) {
    const Win32Error error = writer.Append(record, durability);
    if (error == ERR_SUCCESS) {
        records.push_back(std::move(record));
    }
    return error;
}

// Written with the next durable record; lost with it, the step counts as made, and undoing it
// finds nothing to undo.
void JournalingMachine::LogFailed() {
    Log({step::FAILED, {std::to_string(records.size() - 1)}}, Durability::Buffered);
}

// The folders the program unpacks into ("PRV<hex>.tmp" in the temporary folder); anything else
// there may be the player's (a documents folder inside it, say).
bool JournalingMachine::IsScratch(const std::string& path) const {
    return StartsWithNoCase(path, temp + "PRV");
}

bool JournalingMachine::IsOwn(const std::string& path) const {
    return own.contains(ToUpperAscii(path));
}

void JournalingMachine::MarkOwn(const std::string& path) {
    own.insert(ToUpperAscii(path));
}

// Kept files stay on the drive of the file, so that keeping and restoring are renames: in the
// temporary folder when it is on that drive, else in a folder at the drive's root.
Win32Error JournalingMachine::KeptPathFor(const std::string& path, std::string& kept) {
    const std::string drive = DriveOf(path);
    auto found = keptFolders.find(drive);
    if (found == keptFolders.end()) {
        const std::string base = !drive.empty() && DriveOf(temp) == drive
                                     ? std::string(WithoutTrailingSeparators(temp))
                                     : drive;
        const std::string folder = base + "\\Parvane kept files " + id;
        Win32Error error = Log({step::KEPT_FOLDER, {folder}}, Durability::Flushed);
        if (error == ERR_SUCCESS) {
            error = inner.MakeFolder(folder);
        }
        if (error != ERR_SUCCESS && error != ERR_ALREADY_EXISTS) {
            LogFailed();
            return error;
        }
        found = keptFolders.emplace(drive, folder).first;
    }
    // The name after the last separator of either kind: a folder joined with "/prv" keeps its
    // backslashes before it.
    kept = JoinPath(found->second, std::to_string(records.size()) + " " +
                                       path.substr(path.find_last_of("\\/") + 1));
    return ERR_SUCCESS;
}

Win32Error JournalingMachine::Keep(const char* tag, const std::string& path) {
    std::string kept;
    Win32Error error = KeptPathFor(path, kept);
    if (error == ERR_SUCCESS) {
        error = Log({tag, {path, kept}}, Durability::Synced);
    }
    if (error != ERR_SUCCESS) {
        return error;
    }
    error = inner.MoveFileTo(path, kept);
    if (error != ERR_SUCCESS) {
        LogFailed();
    }
    return error;
}

Win32Error JournalingMachine::PrepareTarget(const std::string& target) {
    if (IsScratch(target) || IsOwn(target)) {
        return ERR_SUCCESS;
    }
    std::uint32_t attributes = 0;
    const Win32Error probe = inner.GetAttributes(target, attributes);
    // A folder or a read-only file is not replaced: the call itself refuses it.
    if (probe == ERR_SUCCESS && (attributes & (ATTR_DIRECTORY | ATTR_READONLY)) != 0) {
        return ERR_SUCCESS;
    }
    const Win32Error error = probe == ERR_SUCCESS
                                 ? Keep(step::REPLACED, target)
                                 : Log({step::CREATED_FILE, {target}}, Durability::Flushed);
    if (error == ERR_SUCCESS) {
        MarkOwn(target);
    }
    return error;
}

Win32Error JournalingMachine::OpenKey(Hive hive, const std::string& subKey, KeyHandle& key) {
    const Win32Error error = inner.OpenKey(hive, subKey, key);
    if (error == ERR_SUCCESS) {
        keys[key] = {hive, subKey, false};
    }
    return error;
}

Win32Error JournalingMachine::CreateKey(Hive hive, const std::string& subKey,
                                        const std::string& keyClass, KeyHandle& key) {
    key = 0;
    KeyHandle existing = 0;
    const bool existed = inner.OpenKey(hive, subKey, existing) == ERR_SUCCESS;
    if (existed) {
        inner.CloseKey(existing);
    }
    const Win32Error error =
        Log({step::CREATED_KEY, {HiveText(hive), subKey, keyClass, existed ? "1" : "0"}},
            Durability::Buffered);
    if (error != ERR_SUCCESS) {
        return error;
    }
    key = PENDING_KEY_BIT | ++nextPendingKey;
    keys[key] = {hive, subKey, true};
    return ERR_SUCCESS;
}

Win32Error JournalingMachine::EnumKey(KeyHandle key, std::uint32_t index, std::uint32_t capacity,
                                      std::string& name) {
    return (key & PENDING_KEY_BIT) != 0 ? ERR_INVALID_HANDLE
                                        : inner.EnumKey(key, index, capacity, name);
}

Win32Error JournalingMachine::QueryValue(KeyHandle key, const std::string& valueName,
                                         std::uint32_t capacity, std::uint32_t& type,
                                         std::string& data) {
    return (key & PENDING_KEY_BIT) != 0 ? ERR_INVALID_HANDLE
                                        : inner.QueryValue(key, valueName, capacity, type, data);
}

Win32Error JournalingMachine::SetValue(KeyHandle key, const std::string& valueName,
                                       std::uint32_t type, const std::string& data) {
    const auto found = keys.find(key);
    if (found == keys.end()) {
        return ERR_INVALID_HANDLE;
    }
    const KeyPlace& place = found->second;
    return Log(
        {step::VALUE, {HiveText(place.hive), place.path, valueName, std::to_string(type), data}},
        Durability::Buffered);
}

// The key must be there and have no subkeys, as RegDeleteKeyA requires; it goes at the commit.
Win32Error JournalingMachine::DeleteKey(Hive hive, const std::string& subKey) {
    bool pending = false;
    for (const auto& [handle, place] : keys) {
        pending = pending || (place.pending && place.hive == hive && place.path == subKey);
    }
    if (!pending) {
        KeyHandle key = 0;
        const Win32Error error = inner.OpenKey(hive, subKey, key);
        if (error != ERR_SUCCESS) {
            return error;
        }
        std::string name;
        const bool hasSubkeys = inner.EnumKey(key, 0, 256, name) != ERR_NO_MORE_ITEMS;
        inner.CloseKey(key);
        if (hasSubkeys) {
            return ERR_ACCESS_DENIED;
        }
    }
    return Log({step::DELETED_KEY, {HiveText(hive), subKey}}, Durability::Buffered);
}

Win32Error JournalingMachine::CloseKey(KeyHandle key) {
    const auto found = keys.find(key);
    const bool pending = found != keys.end() && found->second.pending;
    if (found != keys.end()) {
        keys.erase(found);
    }
    return pending ? ERR_SUCCESS : inner.CloseKey(key);
}

Win32Error JournalingMachine::MakeFolder(const std::string& path) {
    std::uint32_t attributes = 0;
    if (IsScratch(path) || inner.GetAttributes(path, attributes) == ERR_SUCCESS) {
        return inner.MakeFolder(path);
    }
    Win32Error error = Log({step::CREATED_FOLDER, {path}}, Durability::Flushed);
    if (error == ERR_SUCCESS) {
        error = inner.MakeFolder(path);
        if (error != ERR_SUCCESS) {
            LogFailed();
        }
    }
    if (error == ERR_SUCCESS) {
        MarkOwn(path);
    }
    return error;
}

Win32Error JournalingMachine::RemoveEmptyFolder(const std::string& path) {
    if (IsScratch(path) || IsOwn(path)) {
        return inner.RemoveEmptyFolder(path);
    }
    Win32Error error = Log({step::REMOVED_FOLDER, {path}}, Durability::Synced);
    if (error == ERR_SUCCESS) {
        error = inner.RemoveEmptyFolder(path);
        if (error != ERR_SUCCESS) {
            LogFailed();
        }
    }
    return error;
}

// A deleted file is moved aside; the commit deletes it. A folder or read-only file is left to
// DeleteFileA to refuse.
Win32Error JournalingMachine::RemoveFile(const std::string& path) {
    if (IsScratch(path) || IsOwn(path)) {
        return inner.RemoveFile(path);
    }
    std::uint32_t attributes = 0;
    const Win32Error probe = inner.GetAttributes(path, attributes);
    if (probe != ERR_SUCCESS) {
        return probe;
    }
    if ((attributes & (ATTR_DIRECTORY | ATTR_READONLY)) != 0) {
        return inner.RemoveFile(path);
    }
    return Keep(step::DELETED, path);
}

Win32Error JournalingMachine::CopyFileOver(const std::string& source, const std::string& target) {
    Win32Error error = PrepareTarget(target);
    if (error == ERR_SUCCESS) {
        error = inner.CopyFileOver(source, target);
    }
    CarryDigest(error, source, target, false);
    return error;
}

void JournalingMachine::CarryDigest(Win32Error error, const std::string& source,
                                    const std::string& target, bool moved) {
    if (error == ERR_SUCCESS) {
        CarryFileDigest(source, target, moved);
    } else {
        ForgetFileDigest(target);
    }
}

// A file moved out of the temporary folder is a new file where it lands; one of the game's
// moved elsewhere is moved back when the change is undone.
Win32Error JournalingMachine::MoveFileTo(const std::string& source, const std::string& target) {
    std::uint32_t attributes = 0;
    if (IsScratch(target) || inner.GetAttributes(target, attributes) == ERR_SUCCESS) {
        return inner.MoveFileTo(source, target);  // MoveFileA refuses an existing target
    }
    const bool fromScratch = IsScratch(source) || IsOwn(source);
    Win32Error error = fromScratch ? Log({step::CREATED_FILE, {target}}, Durability::Flushed)
                                   : Log({step::MOVED, {source, target}}, Durability::Synced);
    if (error != ERR_SUCCESS) {
        return error;
    }
    MarkOwn(target);
    error = inner.MoveFileTo(source, target);
    CarryDigest(error, source, target, true);
    return error;
}

Win32Error JournalingMachine::MoveFileOver(const std::string& source, const std::string& target) {
    Win32Error error = PrepareTarget(target);
    if (error == ERR_SUCCESS && !IsScratch(source) && !IsOwn(source)) {
        error = Log({step::MOVED, {source, target}}, Durability::Synced);
    }
    if (error == ERR_SUCCESS) {
        error = inner.MoveFileOver(source, target);
    }
    CarryDigest(error, source, target, true);
    return error;
}

// GetTempFileNameA's way, with the name journaled before the file is made.
Win32Error JournalingMachine::UniqueTempFile(const std::string& folder, const std::string& prefix,
                                             std::string& path) {
    const std::string inFolder = std::string(WithoutTrailingSeparators(folder)) + "\\";
    if (IsScratch(inFolder) || EqualsNoCase(inFolder, temp)) {
        return inner.UniqueTempFile(folder, prefix, path);  // the name of a new scratch folder
    }
    const std::string stem = JoinPath(folder, prefix.substr(0, 3));
    std::uint32_t attributes = 0;
    for (unsigned number = static_cast<unsigned>(records.size()) + 1; number <= 0xFFFF; ++number) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%X", number);
        path = stem + hex + ".tmp";
        if (inner.GetAttributes(path, attributes) == ERR_SUCCESS) {
            continue;
        }
        Win32Error error = Log({step::CREATED_FILE, {path}}, Durability::Flushed);
        if (error != ERR_SUCCESS) {
            return error;
        }
        MarkOwn(path);
        std::unique_ptr<FileStream> made = inner.OpenFile(path, FileMode::Write, error);
        return made ? made->Close() : error;
    }
    return ERR_FILE_EXISTS;
}

// The program appends only to its own files in the state folder, which no change undoes.
std::unique_ptr<FileStream> JournalingMachine::OpenFile(const std::string& path, FileMode mode,
                                                        Win32Error& error) {
    if (mode != FileMode::Read) {
        ForgetFileDigest(path);
    }
    if (mode == FileMode::Write) {
        error = PrepareTarget(path);
        if (error != ERR_SUCCESS) {
            return nullptr;
        }
    }
    return inner.OpenFile(path, mode, error);
}

}  // namespace parvane
