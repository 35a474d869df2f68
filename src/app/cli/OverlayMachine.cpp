#include "app/cli/OverlayMachine.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "app/cli/TerminalUserInterface.h"
#include "platform/AsciiCase.h"
#include "platform/wine/text/Wildcard.h"

namespace parvane::cli {

namespace {

constexpr std::uint32_t NAME_CAPACITY = 65536;
// WinExec's answer when the program was started.
constexpr std::uint32_t STARTED = 33;

// A path or key name as the file system and the registry compare them: letters in upper case,
// '/' as '\', no doubled or trailing separator.
std::string NameKey(const std::string& path) {
    std::string key;
    for (const char c : ToUpperAscii(path)) {
        const char separator = c == '/' ? '\\' : c;
        if (separator != '\\' || key.empty() || key.back() != '\\') {
            key += separator;
        }
    }
    if (!key.empty() && key.back() == '\\') {
        key.pop_back();
    }
    return key;
}

// A path without the separators that may end a folder's path.
std::string_view Trimmed(const std::string& path) {
    const std::size_t end = path.find_last_not_of("\\/");
    return std::string_view(path).substr(0, end == std::string::npos ? 0 : end + 1);
}

std::string ParentOf(const std::string& path) {
    const std::string_view trimmed = Trimmed(path);
    const std::size_t at = trimmed.find_last_of("\\/");
    if (at == std::string::npos) {
        return {};
    }
    std::string parent(trimmed.substr(0, at));
    return parent.size() == 2 && parent[1] == ':' ? parent + "\\" : parent;
}

std::string LastComponent(const std::string& path) {
    const std::string_view trimmed = Trimmed(path);
    const std::size_t at = trimmed.find_last_of("\\/");
    return std::string(at == std::string::npos ? trimmed : trimmed.substr(at + 1));
}

bool HasDotComponent(const std::string& key) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = key.find('\\', start);
        const std::string_view part =
            std::string_view(key).substr(start, end == std::string::npos ? end : end - start);
        if (part == "." || part == "..") {
            return true;
        }
        if (end == std::string::npos) {
            return false;
        }
        start = end + 1;
    }
}

// The direct children of `parentKey` among the keys of a map ordered by key.
template <typename State, typename Visit>
void ForEachChild(const std::map<std::string, State>& states, const std::string& parentKey,
                  Visit visit) {
    const std::string start = parentKey + "\\";
    for (auto it = states.lower_bound(start); it != states.end() && it->first.starts_with(start);
         ++it) {
        if (it->first.find('\\', start.size()) == std::string::npos) {
            visit(it->second);
        }
    }
}

bool IsStringType(std::uint32_t type) {
    return type == REGTYPE_SZ || type == REGTYPE_EXPAND_SZ;
}

const char* HiveName(Hive hive) {
    switch (hive) {
        case Hive::ClassesRoot:
            return "HKEY_CLASSES_ROOT";
        case Hive::CurrentUser:
            return "HKEY_CURRENT_USER";
        default:
            return "HKEY_LOCAL_MACHINE";
    }
}

std::string ShownData(std::uint32_t type, const std::string& data) {
    if (IsStringType(type)) {
        return "\"" + data + "\"";
    }
    if (type == REGTYPE_DWORD && data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) {
            number = number << 8 | static_cast<unsigned char>(data[i]);
        }
        return std::to_string(number);
    }
    std::string shown = "hex:";
    char byte[4];
    for (const char c : data) {
        std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(c));
        shown += (shown.size() > 4 ? "," : "") + std::string(byte);
    }
    return shown;
}

}  // namespace

OverlayMachine::OverlayMachine(Machine& machineBelow) : below(machineBelow) {
    if (below.TempPath(scratchFolder) == ERR_SUCCESS) {
        scratchKey = NameKey(scratchFolder);
    }
}

OverlayMachine::~OverlayMachine() {
    for (const std::string& shadow : shadows) {
        below.RemoveFile(shadow);
    }
}

// The temporary folder, through no "." or ".." that could lead out of it.
bool OverlayMachine::IsScratch(const std::string& path) const {
    const std::string key = NameKey(path);
    return !scratchKey.empty() && (key == scratchKey || key.starts_with(scratchKey + "\\")) &&
           !HasDotComponent(key);
}

OverlayMachine::Kind OverlayMachine::KindOf(const std::string& path, std::uint32_t* attributes) {
    std::uint32_t found = ATTR_INVALID;
    Kind kind = Kind::Absent;
    const auto state = paths.find(NameKey(path));
    if (state == paths.end()) {
        if (below.GetAttributes(path, found) == ERR_SUCCESS) {
            kind = (found & ATTR_DIRECTORY) != 0 ? Kind::Folder : Kind::File;
        }
    } else if (state->second.kind == Kind::Folder) {
        found = ATTR_DIRECTORY;
        kind = Kind::Folder;
    } else if (state->second.kind == Kind::File) {
        if (below.GetAttributes(state->second.content, found) != ERR_SUCCESS) {
            found = ATTR_ARCHIVE;
        }
        kind = Kind::File;
    }
    if (attributes != nullptr) {
        *attributes = found;
    }
    return kind;
}

OverlayMachine::PathState& OverlayMachine::Changed(const std::string& path) {
    const std::string key = NameKey(path);
    if (const auto state = paths.find(key); state != paths.end()) {
        ++changes;
        return state->second;
    }
    const Kind before = KindOf(path);
    PathState& state = paths[key];
    state.kind = state.before = before;
    state.spelling = path;
    if (before == Kind::File) {
        state.content = state.origin = path;
    }
    state.order = ++changes;
    return state;
}

bool OverlayMachine::ParentIsFolder(const std::string& path) {
    const std::string parent = ParentOf(path);
    return !parent.empty() && KindOf(parent) == Kind::Folder;
}

std::string OverlayMachine::NewShadow(Win32Error& error) {
    std::string shadow;
    error = scratchFolder.empty() ? ERR_PATH_NOT_FOUND
                                  : below.UniqueTempFile(scratchFolder, "PDR", shadow);
    if (error != ERR_SUCCESS) {
        return {};
    }
    shadows.push_back(shadow);
    return shadow;
}

std::string OverlayMachine::ContentOf(const std::string& path) {
    const auto state = paths.find(NameKey(path));
    return state != paths.end() && state->second.kind == Kind::File ? state->second.content : path;
}

// Bytes the run wrote itself have no origin, wherever they are copied or moved.
std::string OverlayMachine::OriginOf(const std::string& path) {
    const auto state = paths.find(NameKey(path));
    return state == paths.end() || state->second.kind != Kind::File ? path : state->second.origin;
}

// CopyFileA and MoveFileExA refuse a folder or a read-only file in the way.
Win32Error OverlayMachine::CheckReplaceable(const std::string& target) {
    std::uint32_t attributes = 0;
    const Kind kind = KindOf(target, &attributes);
    if (kind == Kind::Folder || (kind == Kind::File && (attributes & ATTR_READONLY) != 0)) {
        return ERR_ACCESS_DENIED;
    }
    return ERR_SUCCESS;
}

Win32Error OverlayMachine::PutFile(const std::string& source, const std::string& target,
                                   bool move) {
    const Kind sourceKind = KindOf(source);
    if (sourceKind != Kind::File) {
        return sourceKind == Kind::Absent ? ERR_FILE_NOT_FOUND : ERR_ACCESS_DENIED;
    }
    if (IsScratch(target)) {
        const Win32Error error = below.CopyFileOver(ContentOf(source), target);
        if (error == ERR_SUCCESS && move) {
            Changed(source).kind = Kind::Absent;
        }
        return error;
    }
    if (!ParentIsFolder(target)) {
        return ERR_PATH_NOT_FOUND;
    }
    if (const Win32Error error = CheckReplaceable(target); error != ERR_SUCCESS) {
        return error;
    }
    std::string content = ContentOf(source);
    const std::string origin = OriginOf(source);
    if (IsScratch(source)) {
        // The program changes or removes its scratch files: the bytes are kept aside.
        Win32Error error = ERR_SUCCESS;
        content = NewShadow(error);
        if (error == ERR_SUCCESS) {
            error =
                move ? below.MoveFileOver(source, content) : below.CopyFileOver(source, content);
        }
        if (error != ERR_SUCCESS) {
            return error;
        }
    } else if (move) {
        Changed(source).kind = Kind::Absent;
    }
    PathState& state = Changed(target);
    state.kind = Kind::File;
    state.content = content;
    state.origin = origin;
    return ERR_SUCCESS;
}

std::uint64_t OverlayMachine::SizeOf(const std::string& content) {
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> stream = below.OpenFile(content, FileMode::Read, error);
    if (!stream || stream->Seek(0, 2) != ERR_SUCCESS) {
        return 0;
    }
    const std::int64_t size = stream->Tell();
    stream->Close();
    return size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

std::vector<FolderEntry> OverlayMachine::ChangedChildren(const std::string& folderKey,
                                                         const std::string& wildcard) {
    std::vector<const PathState*> children;
    ForEachChild(paths, folderKey, [&](const PathState& state) { children.push_back(&state); });
    const wine::WildcardPattern pattern(wildcard);
    std::vector<FolderEntry> entries;
    for (const PathState* state : children) {
        const std::string name = LastComponent(state->spelling);
        if (state->kind == Kind::Absent || !pattern.Matches(name)) {
            continue;
        }
        if (state->kind == Kind::Folder) {
            entries.push_back({name, ATTR_DIRECTORY, 0});
        } else {
            entries.push_back({name, ATTR_ARCHIVE, SizeOf(state->content)});
        }
    }
    return entries;
}

Win32Error OverlayMachine::GetAttributes(const std::string& path, std::uint32_t& attributes) {
    if (IsScratch(path) || !paths.contains(NameKey(path))) {
        return below.GetAttributes(path, attributes);
    }
    return KindOf(path, &attributes) == Kind::Absent ? ERR_FILE_NOT_FOUND : ERR_SUCCESS;
}

// A file of this run has the size and time of the bytes it holds.
Win32Error OverlayMachine::GetFileStatus(const std::string& path, FileStatus& status) {
    if (IsScratch(path) || !paths.contains(NameKey(path))) {
        return below.GetFileStatus(path, status);
    }
    status = FileStatus{};
    const Kind kind = KindOf(path, &status.attributes);
    if (kind == Kind::File) {
        FileStatus bytes;
        if (below.GetFileStatus(paths.at(NameKey(path)).content, bytes) == ERR_SUCCESS) {
            status.size = bytes.size;
            status.modified = bytes.modified;
        }
    }
    return kind == Kind::Absent ? ERR_FILE_NOT_FOUND : ERR_SUCCESS;
}

Win32Error OverlayMachine::MakeFolder(const std::string& path) {
    if (IsScratch(path)) {
        return below.MakeFolder(path);
    }
    if (KindOf(path) != Kind::Absent) {
        return ERR_ALREADY_EXISTS;
    }
    if (!ParentIsFolder(path)) {
        return ERR_PATH_NOT_FOUND;
    }
    Changed(path).kind = Kind::Folder;
    return ERR_SUCCESS;
}

Win32Error OverlayMachine::RemoveEmptyFolder(const std::string& path) {
    if (IsScratch(path)) {
        return below.RemoveEmptyFolder(path);
    }
    std::uint32_t attributes = 0;
    const Kind kind = KindOf(path, &attributes);
    if (kind != Kind::Folder) {
        return kind == Kind::Absent ? ERR_FILE_NOT_FOUND : ERR_DIRECTORY;
    }
    if ((attributes & ATTR_REPARSE_POINT) == 0) {
        std::vector<FolderEntry> entries;
        ListFolder(path + "\\*", entries);
        for (const FolderEntry& entry : entries) {
            if (entry.name != "." && entry.name != "..") {
                return ERR_DIR_NOT_EMPTY;
            }
        }
    }
    Changed(path).kind = Kind::Absent;
    return ERR_SUCCESS;
}

Win32Error OverlayMachine::RemoveFile(const std::string& path) {
    if (IsScratch(path)) {
        return below.RemoveFile(path);
    }
    std::uint32_t attributes = 0;
    const Kind kind = KindOf(path, &attributes);
    if (kind != Kind::File) {
        return kind == Kind::Absent ? ERR_FILE_NOT_FOUND : ERR_ACCESS_DENIED;
    }
    if ((attributes & ATTR_READONLY) != 0) {
        return ERR_ACCESS_DENIED;
    }
    Changed(path).kind = Kind::Absent;
    return ERR_SUCCESS;
}

Win32Error OverlayMachine::CopyFileOver(const std::string& source, const std::string& target) {
    if (IsScratch(source) && IsScratch(target)) {
        return below.CopyFileOver(source, target);
    }
    return PutFile(source, target, false);
}

Win32Error OverlayMachine::MoveFileTo(const std::string& source, const std::string& target) {
    if (IsScratch(source) && IsScratch(target)) {
        return below.MoveFileTo(source, target);
    }
    if (KindOf(target) != Kind::Absent) {
        return ERR_ALREADY_EXISTS;
    }
    return PutFile(source, target, true);
}

Win32Error OverlayMachine::MoveFileOver(const std::string& source, const std::string& target) {
    if (IsScratch(source) && IsScratch(target)) {
        return below.MoveFileOver(source, target);
    }
    return PutFile(source, target, true);
}

Win32Error OverlayMachine::ListFolder(const std::string& pattern,
                                      std::vector<FolderEntry>& entries) {
    if (IsScratch(pattern)) {
        return below.ListFolder(pattern, entries);
    }
    entries.clear();
    const std::string folder = ParentOf(pattern);
    const std::string folderKey = NameKey(folder);
    if (KindOf(folder) != Kind::Folder) {
        return ERR_PATH_NOT_FOUND;
    }
    const auto state = paths.find(folderKey);
    const bool existsBelow = state == paths.end() || state->second.before == Kind::Folder;
    const std::string wildcard = LastComponent(pattern);
    if (existsBelow) {
        std::vector<FolderEntry> listed;
        below.ListFolder(pattern, listed);
        for (FolderEntry& entry : listed) {
            if (!paths.contains(folderKey + "\\" + NameKey(entry.name))) {
                entries.push_back(std::move(entry));
            }
        }
    } else {
        for (const char* dots : {".", ".."}) {
            if (wine::MatchesWildcard(wildcard, dots)) {
                entries.push_back({dots, ATTR_DIRECTORY, 0});
            }
        }
    }
    for (FolderEntry& entry : ChangedChildren(folderKey, wildcard)) {
        entries.push_back(std::move(entry));
    }
    return entries.empty() ? ERR_FILE_NOT_FOUND : ERR_SUCCESS;
}

Win32Error OverlayMachine::LongPathName(const std::string& path, std::string& longPath) {
    const auto state = paths.find(NameKey(path));
    if (IsScratch(path) || state == paths.end()) {
        return below.LongPathName(path, longPath);
    }
    if (state->second.kind == Kind::Absent) {
        return ERR_FILE_NOT_FOUND;
    }
    if (state->second.before != Kind::Absent && below.LongPathName(path, longPath) == ERR_SUCCESS) {
        return ERR_SUCCESS;
    }
    std::string parent;
    if (const Win32Error error = LongPathName(ParentOf(path), parent); error != ERR_SUCCESS) {
        return error;
    }
    longPath = parent + (parent.ends_with('\\') ? "" : "\\") + LastComponent(path);
    return ERR_SUCCESS;
}

// The paths a dry run changes are absolute: only their long form can differ.
Win32Error OverlayMachine::FullPathName(const std::string& path, std::string& fullPath) {
    if (!IsScratch(path) && paths.contains(NameKey(path))) {
        return LongPathName(path, fullPath);
    }
    return below.FullPathName(path, fullPath);
}

Win32Error OverlayMachine::TempPath(std::string& folder) {
    return below.TempPath(folder);
}

Win32Error OverlayMachine::UniqueTempFile(const std::string& folder, const std::string& prefix,
                                          std::string& path) {
    const std::string joined = folder + (folder.ends_with('\\') ? "" : "\\");
    if (IsScratch(joined + "x")) {
        return below.UniqueTempFile(folder, prefix, path);
    }
    if (KindOf(folder) != Kind::Folder) {
        return ERR_DIRECTORY;
    }
    for (unsigned number = 1; number <= 0xFFFF; ++number) {
        char name[16];
        std::snprintf(name, sizeof name, "%X.tmp", number);
        const std::string candidate = joined + prefix.substr(0, 3) + name;
        if (KindOf(candidate) != Kind::Absent) {
            continue;
        }
        Win32Error error = ERR_SUCCESS;
        const std::string shadow = NewShadow(error);
        if (error != ERR_SUCCESS) {
            return error;
        }
        PathState& state = Changed(candidate);
        state.kind = Kind::File;
        state.content = shadow;
        path = candidate;
        return ERR_SUCCESS;
    }
    return ERR_FILE_EXISTS;
}

Win32Error OverlayMachine::FreeDiskSpace(const std::string& path, std::uint64_t& bytes) {
    return below.FreeDiskSpace(path, bytes);
}

std::unique_ptr<FileStream> OverlayMachine::OpenFile(const std::string& path, FileMode mode,
                                                     Win32Error& error) {
    if (IsScratch(path)) {
        return below.OpenFile(path, mode, error);
    }
    if (mode == FileMode::Read) {
        const Kind kind = KindOf(path);
        if (kind == Kind::File) {
            return below.OpenFile(ContentOf(path), mode, error);
        }
        error = kind == Kind::Folder ? ERR_ACCESS_DENIED : ERR_FILE_NOT_FOUND;
        return nullptr;
    }
    error = ParentIsFolder(path) ? CheckReplaceable(path) : ERR_PATH_NOT_FOUND;
    if (error != ERR_SUCCESS) {
        return nullptr;
    }
    const std::string shadow = NewShadow(error);
    if (error != ERR_SUCCESS) {
        return nullptr;
    }
    std::unique_ptr<FileStream> stream = below.OpenFile(shadow, mode, error);
    if (stream) {
        PathState& state = Changed(path);
        state.kind = Kind::File;
        state.content = shadow;
        state.origin.clear();
    }
    return stream;
}

Win32Error OverlayMachine::ModulePath(std::string& path) {
    return below.ModulePath(path);
}

Win32Error OverlayMachine::ProcessImageNames(std::vector<std::string>& names) {
    return below.ProcessImageNames(names);
}

std::uint32_t OverlayMachine::RunCommand(const std::string& commandLine) {
    commands.emplace_back(++changes, commandLine);
    return STARTED;
}

// Registry.

std::string OverlayMachine::KeyId(Hive hive, const std::string& subKey) const {
    return std::to_string(static_cast<int>(hive)) + ":" + NameKey(subKey);
}

bool OverlayMachine::KeyExists(Hive hive, const std::string& subKey) {
    if (const auto state = keys.find(KeyId(hive, subKey)); state != keys.end()) {
        return state->second.exists;
    }
    KeyHandle key = 0;
    if (below.OpenKey(hive, subKey, key) != ERR_SUCCESS) {
        return false;
    }
    below.CloseKey(key);
    return true;
}

OverlayMachine::KeyState& OverlayMachine::ChangedKey(Hive hive, const std::string& subKey) {
    const std::string id = KeyId(hive, subKey);
    if (const auto state = keys.find(id); state != keys.end()) {
        ++changes;
        return state->second;
    }
    const bool existed = KeyExists(hive, subKey);
    KeyState& state = keys[id];
    state.exists = state.existedBefore = existed;
    state.spelling = std::string(HiveName(hive)) + "\\" + subKey;
    state.order = ++changes;
    return state;
}

KeyHandle OverlayMachine::NewHandle(Hive hive, const std::string& subKey, KeyHandle belowKey) {
    const KeyHandle handle = nextHandle++;
    opened[handle] = {hive, subKey, KeyId(hive, subKey), belowKey, {}, std::nullopt};
    return handle;
}

Win32Error OverlayMachine::OpenKey(Hive hive, const std::string& subKey, KeyHandle& key) {
    KeyHandle belowKey = 0;
    const auto state = keys.find(KeyId(hive, subKey));
    if (state != keys.end()) {
        if (!state->second.exists) {
            return ERR_FILE_NOT_FOUND;
        }
        if (!state->second.hidesBelow && state->second.existedBefore &&
            below.OpenKey(hive, subKey, belowKey) != ERR_SUCCESS) {
            belowKey = 0;
        }
    } else if (const Win32Error error = below.OpenKey(hive, subKey, belowKey);
               error != ERR_SUCCESS) {
        return error;
    }
    key = NewHandle(hive, subKey, belowKey);
    return ERR_SUCCESS;
}

Win32Error OverlayMachine::CreateKey(Hive hive, const std::string& subKey, const std::string&,
                                     KeyHandle& key) {
    if (!KeyExists(hive, subKey)) {
        // RegCreateKeyExA makes every missing key on the way.
        for (std::size_t end = subKey.find('\\');; end = subKey.find('\\', end + 1)) {
            const std::string path = subKey.substr(0, end);
            if (!path.empty() && !KeyExists(hive, path)) {
                ChangedKey(hive, path).exists = true;
            }
            if (end == std::string::npos) {
                break;
            }
        }
    }
    return OpenKey(hive, subKey, key);
}

const std::vector<std::string>& OverlayMachine::MergedSubkeys(OpenedKey& key) {
    if (key.built == changes) {
        return key.subkeys;
    }
    key.subkeys.clear();
    std::set<std::string> listed;
    std::string name;
    for (std::uint32_t index = 0;
         key.below != 0 && below.EnumKey(key.below, index, NAME_CAPACITY, name) == ERR_SUCCESS;
         ++index) {
        const auto state = keys.find(key.id + "\\" + NameKey(name));
        if (state == keys.end() || state->second.exists) {
            listed.insert(NameKey(name));
            key.subkeys.push_back(name);
        }
    }
    ForEachChild(keys, key.id, [&](const KeyState& state) {
        const std::string child = LastComponent(state.spelling);
        if (state.exists && !listed.contains(NameKey(child))) {
            key.subkeys.push_back(child);
        }
    });
    key.built = changes;
    return key.subkeys;
}

Win32Error OverlayMachine::EnumKey(KeyHandle key, std::uint32_t index, std::uint32_t capacity,
                                   std::string& name) {
    const auto found = opened.find(key);
    if (found == opened.end()) {
        return ERR_INVALID_HANDLE;
    }
    const std::vector<std::string>& subkeys = MergedSubkeys(found->second);
    if (index >= subkeys.size()) {
        return ERR_NO_MORE_ITEMS;
    }
    if (subkeys[index].size() + 1 > capacity) {
        return ERR_MORE_DATA;
    }
    name = subkeys[index];
    return ERR_SUCCESS;
}

Win32Error OverlayMachine::QueryValue(KeyHandle key, const std::string& valueName,
                                      std::uint32_t capacity, std::uint32_t& type,
                                      std::string& data) {
    const auto found = opened.find(key);
    if (found == opened.end()) {
        return ERR_INVALID_HANDLE;
    }
    if (const auto state = keys.find(found->second.id); state != keys.end()) {
        if (const auto value = state->second.values.find(NameKey(valueName));
            value != state->second.values.end()) {
            std::string stored = value->second.data;
            if (IsStringType(value->second.type)) {
                stored += '\0';
            }
            if (stored.size() > capacity) {
                return ERR_MORE_DATA;
            }
            type = value->second.type;
            data = std::move(stored);
            return ERR_SUCCESS;
        }
    }
    if (found->second.below == 0) {
        return ERR_FILE_NOT_FOUND;
    }
    return below.QueryValue(found->second.below, valueName, capacity, type, data);
}

Win32Error OverlayMachine::SetValue(KeyHandle key, const std::string& valueName, std::uint32_t type,
                                    const std::string& data) {
    const auto found = opened.find(key);
    if (found == opened.end()) {
        return ERR_INVALID_HANDLE;
    }
    std::string stored = data;
    if (IsStringType(type)) {
        stored = stored.substr(0, stored.find('\0'));
    }
    KeyState& state = ChangedKey(found->second.hive, found->second.subKey);
    state.values[NameKey(valueName)] = {valueName, type, std::move(stored)};
    return ERR_SUCCESS;
}

Win32Error OverlayMachine::DeleteKey(Hive hive, const std::string& subKey) {
    KeyHandle key = 0;
    if (const Win32Error error = OpenKey(hive, subKey, key); error != ERR_SUCCESS) {
        return error;
    }
    const bool hasSubkeys = !MergedSubkeys(opened.at(key)).empty();
    CloseKey(key);
    if (hasSubkeys) {
        return ERR_ACCESS_DENIED;
    }
    KeyState& state = ChangedKey(hive, subKey);
    state.exists = false;
    state.hidesBelow = true;
    state.values.clear();
    return ERR_SUCCESS;
}

Win32Error OverlayMachine::CloseKey(KeyHandle key) {
    const auto found = opened.find(key);
    if (found == opened.end()) {
        return ERR_INVALID_HANDLE;
    }
    if (found->second.below != 0) {
        below.CloseKey(found->second.below);
    }
    opened.erase(found);
    return ERR_SUCCESS;
}

// The report.

// A file from the archive being installed is named by its place in the extraction folder.
std::string OverlayMachine::ShownFile(const std::string& path) const {
    const std::string key = NameKey(path);
    if (scratchKey.empty() || !key.starts_with(scratchKey + "\\")) {
        return path;
    }
    const std::size_t inside = path.find_first_of("\\/", scratchFolder.size() + 1);
    return inside == std::string::npos ? path : path.substr(inside + 1);
}

std::vector<std::string> OverlayMachine::PlannedChanges(const PathShown& shown) const {
    const auto pathText = [&shown](const std::string& path) {
        return shown ? shown(path) : TerminalText(path);
    };
    std::vector<std::pair<std::uint64_t, std::string>> lines;
    for (const auto& [key, state] : paths) {
        const std::string path = pathText(state.spelling);
        if (state.kind == Kind::Absent && state.before != Kind::Absent) {
            lines.emplace_back(
                state.order, (state.before == Kind::Folder ? "remove folder " : "delete ") + path);
        } else if (state.kind == Kind::Folder && state.before != Kind::Folder) {
            lines.emplace_back(state.order, "create folder " + path);
        } else if (state.kind == Kind::File && state.content != state.spelling) {
            const bool replacing = state.before != Kind::Absent;
            if (state.origin.empty()) {
                lines.emplace_back(state.order, (replacing ? "rewrite " : "write ") + path);
            } else {
                lines.emplace_back(state.order, "copy " + TerminalText(ShownFile(state.origin)) +
                                                    (replacing ? " over " : " to ") + path);
            }
        }
    }
    for (const auto& [id, state] : keys) {
        if (!state.exists) {
            if (state.existedBefore) {
                lines.emplace_back(state.order, "delete key " + TerminalText(state.spelling));
            }
            continue;
        }
        if (!state.existedBefore || state.hidesBelow) {
            lines.emplace_back(state.order, "create key " + TerminalText(state.spelling));
        }
        for (const auto& [name, value] : state.values) {
            lines.emplace_back(state.order,
                               TerminalText("set " + state.spelling + " \"" + value.name +
                                            "\" = " + ShownData(value.type, value.data)));
        }
    }
    for (const auto& [order, command] : commands) {
        lines.emplace_back(order, "start " + TerminalText(command));
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> planned;
    planned.reserve(lines.size());
    for (auto& line : lines) {
        planned.push_back(std::move(line.second));
    }
    return planned;
}

void PrintPlannedChanges(const OverlayMachine& machine, std::ostream& output,
                         const OverlayMachine::PathShown& shown) {
    const std::vector<std::string> planned = machine.PlannedChanges(shown);
    output << (planned.empty() ? "Dry run: nothing was changed, and the run would change nothing."
                               : "Dry run: nothing was changed. The run would:")
           << '\n';
    for (const std::string& line : planned) {
        output << "  " << line << '\n';
    }
    output << std::flush;
}

}  // namespace parvane::cli
