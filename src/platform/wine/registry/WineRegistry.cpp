#include "platform/wine/registry/WineRegistry.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/wine/registry/HiveFile.h"
#include "platform/wine/registry/HiveStamp.h"
#include "platform/wine/registry/RegistryHive.h"
#include "platform/wine/registry/RegistryMemo.h"
#include "platform/wine/registry/RegistryText.h"
#include "platform/wine/registry/WineServer.h"
#include "platform/wine/text/Codepage.h"

namespace parvane::wine {

namespace {

// Windows refuses longer key names.
constexpr std::size_t MAX_KEY_NAME_LENGTH = 255;
constexpr std::u16string_view SOFTWARE = u"Software";
constexpr std::u16string_view CLASSES = u"Classes";
constexpr std::u16string_view WOW6432NODE = u"Wow6432Node";

struct HiveSlot {
    std::filesystem::path path;
    std::unique_ptr<HiveTree> tree;
    // The stamp of the file as the tree was read from it, when it was long written then; none
    // once the tree has been written or read again.
    std::optional<HiveStamp> stamp;
};

struct KeyRef {
    HiveSlot* slot = nullptr;
    HiveKey* key = nullptr;
};

struct OpenedKey {
    // The key that writes go to.
    KeyRef target;
    // For HKEY_CLASSES_ROOT, the user's key that reads look into before `target`.
    KeyRef overlay;
    // A change was made through this handle: closing it saves.
    bool changed = false;
    // The key's place in the memo, when it is kept there. A key opened from the memo while the
    // files are unread has no target until they are read.
    int remembered = -1;
};

// A key's path: its names, which lie in `text` (the caller's path in UTF-16), in constants or
// in the keys of a tree. Not copied, so that the names in `text` stay where they are.
struct Path {
    Path() = default;
    Path(const Path&) = delete;
    Path& operator=(const Path&) = delete;

    std::u16string text;
    std::vector<std::u16string_view> names;
};

bool SameName(std::u16string_view a, std::u16string_view b) {
    return CompareNames(a, b) == 0;
}

bool IsStringType(std::uint32_t type) {
    return type == REGTYPE_SZ || type == REGTYPE_EXPAND_SZ || type == REGTYPE_MULTI_SZ;
}

// Splits a subkey path at its backslashes; repeated and trailing backslashes are skipped, as
// Windows skips them.
Win32Error SplitPath(const std::string& subKey, Path& path) {
    path.names.clear();
    path.names.reserve(8);  // the paths the program opens, and one name for the 32-bit view
    if (!subKey.empty() && subKey.front() == '\\') {
        return ERR_BAD_PATHNAME;
    }
    path.text = Cp1252ToUtf16(subKey);
    const std::u16string_view wide = path.text;
    std::size_t start = 0;
    while (start < wide.size()) {
        std::size_t end = wide.find(u'\\', start);
        if (end == std::u16string::npos) {
            end = wide.size();
        }
        if (end - start > MAX_KEY_NAME_LENGTH) {
            return ERR_INVALID_PARAMETER;
        }
        if (end > start) {
            path.names.push_back(wide.substr(start, end - start));
        }
        start = end + 1;
    }
    return ERR_SUCCESS;
}

// A 32-bit program in a 64-bit prefix sees HKLM\Software\X at HKLM\Software\Wow6432Node\X;
// Software\Classes is shared by both views.
void Apply32BitView(Path& path) {
    std::vector<std::u16string_view>& names = path.names;
    if (names.empty() || !SameName(names[0], SOFTWARE)) {
        return;
    }
    if (names.size() > 1 && (SameName(names[1], CLASSES) || SameName(names[1], WOW6432NODE))) {
        return;
    }
    names.insert(names.begin() + 1, WOW6432NODE);
}

void PutUnderClasses(Path& path) {
    path.names.insert(path.names.begin(), {SOFTWARE, CLASSES});
}

// The subkey that EnumKey named last. Reading a long list, the program opens each key that it
// enumerates: the key is then found at once, without a search among its siblings.
struct EnumeratedSubkey {
    const HiveKey* parent = nullptr;
    std::size_t index = 0;
};

HiveKey* FindKey(HiveTree& tree, const Path& path, const EnumeratedSubkey& enumerated = {}) {
    HiveKey* key = &tree.Root();
    for (const std::u16string_view name : path.names) {
        if (key == enumerated.parent && enumerated.index < key->subkeys.size() &&
            SameName(key->subkeys[enumerated.index]->name, name)) {
            key = key->subkeys[enumerated.index].get();
            continue;
        }
        key = FindSubkey(*key, name);
        if (key == nullptr) {
            return nullptr;
        }
    }
    return key;
}

KeyRef FindRef(HiveSlot& slot, const Path& path, const EnumeratedSubkey& enumerated = {}) {
    return {&slot, FindKey(*slot.tree, path, enumerated)};
}

// The subkey names of an HKEY_CLASSES_ROOT key: the union of the user's and the machine's, in
// name order.
const std::u16string_view* MergedSubkeyName(const HiveKey& first, const HiveKey& second,
                                            std::uint32_t index) {
    std::size_t i = 0;
    std::size_t j = 0;
    for (std::uint32_t n = 0;; ++n) {
        const std::u16string_view* name = nullptr;
        const bool firstLeft = i < first.subkeys.size();
        const bool secondLeft = j < second.subkeys.size();
        if (!firstLeft && !secondLeft) {
            return nullptr;
        }
        const int order = !firstLeft ? 1
                          : !secondLeft
                              ? -1
                              : CompareNames(first.subkeys[i]->name, second.subkeys[j]->name);
        if (order <= 0) {
            name = &first.subkeys[i++]->name;
            j += order == 0 ? 1 : 0;
        } else {
            name = &second.subkeys[j++]->name;
        }
        if (n == index) {
            return name;
        }
    }
}

// A value's answer held against the caller's buffer of `capacity` bytes.
Win32Error Answer(const RememberedValue& value, std::uint32_t capacity, std::uint32_t& type,
                  std::string& data) {
    if (value.status == ERR_FILE_NOT_FOUND) {
        return value.status;
    }
    type = value.type;
    if (value.status != ERR_SUCCESS) {
        return value.status;
    }
    if (value.data.size() > capacity) {
        return ERR_MORE_DATA;
    }
    data = value.data;
    return ERR_SUCCESS;
}

// Data as RegQueryValueExA returns it: strings in code page 1252.
Win32Error DataForCaller(const HiveValue& value, std::string& data) {
    if (!IsStringType(value.type)) {
        data = value.data;
        return ERR_SUCCESS;
    }
    return Utf16BytesToCp1252(value.data, data) ? ERR_SUCCESS : ERR_NO_UNICODE_TRANSLATION;
}

// Data as RegSetValueExA stores it: strings in UTF-16, with their terminator added when the
// caller's length leaves it out.
std::string DataForStorage(std::uint32_t type, const std::string& data) {
    if (!IsStringType(type)) {
        return data;
    }
    std::u16string wide = Cp1252ToUtf16(data);
    if (!wide.empty() && wide.back() != u'\0') {
        wide += u'\0';
    }
    return Utf16ToBytes(wide);
}

}  // namespace

// The names from the root down to `key`.
void PathOf(const HiveKey& key, Path& path) {
    path.names.clear();
    for (const HiveKey* k = &key; k->parent != nullptr; k = k->parent) {
        path.names.insert(path.names.begin(), k->name);
    }
}

HiveKey VanishedKey() {
    HiveKey key;
    key.deleted = true;
    return key;
}

struct WineRegistry::State {
    HiveSlot machine;
    HiveSlot user;
    bool loaded = false;
    bool is64BitPrefix = false;
    std::unordered_map<KeyHandle, OpenedKey> handles;
    KeyHandle nextHandle = 0x100;
    // Where handles to keys that a revert took away point: a key that is gone.
    HiveKey vanished = VanishedKey();
    // Set once a wineserver serves the prefix: it owns the registry files from then on.
    std::string serverMessage;
    // Forgotten whenever keys are freed: at a deletion, a revert, a load.
    EnumeratedSubkey enumerated;
    // The values of the key that QueryValue read last from its lines, decoded together: the
    // program reads the values of a key one after another. Forgotten at a revert and a load,
    // which read new lines.
    const HiveKey* decodedKey = nullptr;
    std::vector<HiveValue> decodedValues;
    // Where the reads of this run are kept for the next; empty when they are not.
    std::filesystem::path memoFile;
    RegistryMemo memo;
    // While the memo answers and the files are unread: the stamp of the files it was taken of.
    std::string trustedStamp;

    // The stamp of both files as they are now, when both were written long enough ago that a
    // later write must show in it; empty otherwise.
    std::string CurrentStamp() const {
        std::string stamp;
        for (const HiveSlot* slot : {&machine, &user}) {
            const std::optional<HiveStamp> now = StampOf(slot->path);
            if (!now || !IsSettled(*now)) {
                return {};
            }
            stamp += now->Text() + ";";
        }
        return stamp;
    }

    bool ReadFiles(std::string& errorMessage) {
        for (HiveSlot* slot : {&machine, &user}) {
            slot->tree = std::make_unique<HiveTree>();
            const std::optional<HiveStamp> before = StampOf(slot->path);
            if (!ReadHiveFile(slot->path, *slot->tree, errorMessage)) {
                return false;
            }
            slot->stamp = before && IsSettled(*before) && StampOf(slot->path) == before
                              ? before
                              : std::nullopt;
        }
        is64BitPrefix = machine.tree->arch == "win64";
        loaded = true;
        return true;
    }

    // The files, read at the first question the memo does not answer; the keys opened from the
    // memo are then found in them. False when there are none to answer from: a failed read.
    bool LoadThrough() {
        if (loaded) {
            return true;
        }
        const std::string stamp = std::exchange(trustedStamp, {});
        std::string ignored;
        if (stamp.empty() || !ReadFiles(ignored)) {
            loaded = false;
            return false;
        }
        for (auto& [handle, opened] : handles) {
            if (opened.target.key == nullptr) {
                FindRemembered(opened);
            }
        }
        if (Stamp() != stamp) {
            // Changed since the memo was taken: what it holds no longer tells this registry.
            memo = {};
            for (auto& [handle, opened] : handles) {
                opened.remembered = -1;
            }
        }
        return true;
    }

    void ReleaseTrees() {
        std::string stamp = Stamp();
        if (!loaded || !handles.empty() || stamp.empty()) {
            return;
        }
        // Empty trees, as before a first read: nothing looks into them while unloaded.
        machine.tree = std::make_unique<HiveTree>();
        user.tree = std::make_unique<HiveTree>();
        enumerated = {};
        decodedKey = nullptr;
        decodedValues = {};
        loaded = false;
        trustedStamp = std::move(stamp);
    }

    void FindRemembered(OpenedKey& opened) {
        const RememberedKey& known = memo.Key(static_cast<std::size_t>(opened.remembered));
        OpenedKey found;
        if (Lookup(known.hive, known.subKey, found) != ERR_SUCCESS) {
            opened.target = {&machine, &vanished};
            return;
        }
        found.remembered = opened.remembered;
        Acquire(found);
        opened = found;
    }

    // The memo's answer to opening a key, while the files are unread; -1 when it has none.
    int TrustedKey(parvane::Hive hive, const std::string& subKey) const {
        return trustedStamp.empty() ? -1 : memo.Find(hive, subKey);
    }

    void RememberOpening(parvane::Hive hive, const std::string& subKey, Win32Error status,
                         OpenedKey& opened) {
        if (!memoFile.empty() && (status == ERR_SUCCESS || status == ERR_FILE_NOT_FOUND)) {
            opened.remembered = memo.KeepKey(hive, subKey, status);
        }
    }

    // Keeps what this run read for the next, when the files are still as they were read.
    void KeepMemo() {
        const std::string stamp = Stamp();
        if (!memoFile.empty() && memo.Changed() && !stamp.empty()) {
            memo.Write(memoFile, stamp);
        }
    }

    std::string Stamp() const {
        if (!loaded) {
            return trustedStamp;
        }
        std::string stamp;
        for (const HiveSlot* slot : {&machine, &user}) {
            if (slot->tree->dirty || !slot->stamp) {
                return {};
            }
            stamp += slot->stamp->Text() + ";";
        }
        return stamp;
    }

    // The key at the path, as RegOpenKeyExA finds it.
    Win32Error Lookup(parvane::Hive hive, const std::string& subKey, OpenedKey& opened) {
        HiveSlot* slot = nullptr;
        Path path;
        if (const Win32Error status = Locate(hive, subKey, slot, path); status != ERR_SUCCESS) {
            return status;
        }
        opened.target = FindRef(*slot, path, enumerated);
        opened.overlay = ClassesOverlay(hive, subKey);
        if (opened.target.key == nullptr) {
            // A class only the user has: reads and writes go to the user's key, as on Windows.
            std::swap(opened.target, opened.overlay);
        }
        return opened.target.key == nullptr ? ERR_FILE_NOT_FOUND : ERR_SUCCESS;
    }

    // A value of the key as RegQueryValueExA reads it, whatever the caller's buffer.
    RememberedValue ReadValue(const OpenedKey& opened, const std::string& valueName) {
        const std::u16string wideName = Cp1252ToUtf16(valueName);
        const HiveValue* value = nullptr;
        if (opened.overlay.key != nullptr) {
            value = ValueOf(*opened.overlay.key, wideName);
        }
        if (value == nullptr) {
            value = ValueOf(*opened.target.key, wideName);
        }
        RememberedValue read{valueName, ERR_FILE_NOT_FOUND, 0, {}};
        if (value != nullptr) {
            read.type = value->type;
            read.status = DataForCaller(*value, read.data);
        }
        return read;
    }

    // The value of that name in a key, decoded from its lines when it keeps its values there.
    const HiveValue* ValueOf(const HiveKey& key, std::u16string_view name) {
        if (key.originalText.empty()) {
            return FindValueIn(HeldValues(key), name);
        }
        if (decodedKey != &key) {
            decodedKey = &key;
            decodedValues = ValuesOf(key);
        }
        return FindValueIn(decodedValues, name);
    }

    OpenedKey* Find(KeyHandle key) {
        const auto found = handles.find(key);
        return found == handles.end() ? nullptr : &found->second;
    }

    void Acquire(const OpenedKey& opened) {
        for (const KeyRef* ref : {&opened.target, &opened.overlay}) {
            if (ref->key != nullptr) {
                ref->slot->tree->AcquireHandle(*ref->key);
            }
        }
    }

    KeyHandle Add(const OpenedKey& opened) {
        Acquire(opened);
        const KeyHandle handle = nextHandle;
        nextHandle += 4;
        handles.emplace(handle, opened);
        return handle;
    }

    void Release(const OpenedKey& opened) {
        for (const KeyRef* ref : {&opened.target, &opened.overlay}) {
            if (ref->key != nullptr && ref->key != &vanished) {
                ref->slot->tree->ReleaseHandle(*ref->key);
            }
        }
    }

    // Where a path of a hive lies: the file, and the path inside it.
    Win32Error Locate(parvane::Hive hive, const std::string& subKey, HiveSlot*& slot, Path& path) {
        if (const Win32Error status = SplitPath(subKey, path); status != ERR_SUCCESS) {
            return status;
        }
        switch (hive) {
            case parvane::Hive::LocalMachine:
                slot = &machine;
                if (is64BitPrefix) {
                    Apply32BitView(path);
                }
                break;
            case parvane::Hive::CurrentUser:
                slot = &user;
                break;
            case parvane::Hive::ClassesRoot:
                slot = &machine;
                PutUnderClasses(path);
                break;
        }
        return ERR_SUCCESS;
    }

    // For HKEY_CLASSES_ROOT, the user's classes key of the same path.
    KeyRef ClassesOverlay(parvane::Hive hive, const std::string& subKey) {
        Path path;
        if (hive != parvane::Hive::ClassesRoot || SplitPath(subKey, path) != ERR_SUCCESS) {
            return {};
        }
        PutUnderClasses(path);
        return FindRef(user, path);
    }

    // RegDeleteKeyA in the tree; the file is written by the caller.
    Win32Error DeleteWithoutSaving(parvane::Hive hive, const std::string& subKey) {
        if (!LoadThrough()) {
            return ERR_BADDB;
        }
        HiveSlot* slot = nullptr;
        Path path;
        if (const Win32Error status = Locate(hive, subKey, slot, path); status != ERR_SUCCESS) {
            return status;
        }
        enumerated = {};
        KeyRef found = FindRef(*slot, path);
        if (found.key == nullptr) {
            found = ClassesOverlay(hive, subKey);
        }
        if (found.key == nullptr) {
            return ERR_FILE_NOT_FOUND;
        }
        if (found.key->parent == nullptr || !found.key->subkeys.empty()) {
            return ERR_ACCESS_DENIED;
        }
        found.slot->tree->DeleteKey(*found.key, CurrentFileTime());
        return ERR_SUCCESS;
    }

    // Writes every file with unsaved changes. A file that cannot be written, or any file
    // while a wineserver serves the prefix (it would write its own copy over ours, and ours
    // over its changes), is not written: its changes are taken back, so that what the program
    // sees is what the file holds. ERR_CANTWRITE or ERR_SHARING_VIOLATION then.
    Win32Error Save(std::string& errorMessage) {
        const std::array<HiveSlot*, 2> slots = {&machine, &user};
        if (!loaded || std::none_of(slots.begin(), slots.end(),
                                    [](const HiveSlot* slot) { return slot->tree->dirty; })) {
            return ERR_SUCCESS;
        }
        if (serverMessage.empty()) {
            IsServedByWineserver(machine.path.parent_path(), serverMessage);
        }
        Win32Error result = serverMessage.empty() ? ERR_SUCCESS : ERR_SHARING_VIOLATION;
        for (HiveSlot* slot : slots) {
            if (!slot->tree->dirty) {
                continue;
            }
            if (result == ERR_SHARING_VIOLATION) {
                errorMessage = serverMessage;
                Revert(*slot);
            } else if (WriteHiveFile(slot->path, *slot->tree, errorMessage)) {
                slot->tree->dirty = false;
                slot->stamp.reset();
            } else {
                result = ERR_CANTWRITE;
                Revert(*slot);
            }
        }
        return result;
    }

    // Reads the file again in place of the changed tree. Open handles follow their keys into
    // the new tree; a key the file does not hold is gone for them. When even the read fails,
    // the changes stay in memory, unsaved.
    void Revert(HiveSlot& slot) {
        auto fresh = std::make_unique<HiveTree>();
        std::string ignored;
        if (!ReadHiveFile(slot.path, *fresh, ignored)) {
            return;
        }
        enumerated = {};
        decodedKey = nullptr;
        Path path;
        for (auto& [handle, opened] : handles) {
            for (KeyRef* ref : {&opened.target, &opened.overlay}) {
                if (ref->slot != &slot || ref->key == nullptr || ref->key == &vanished) {
                    continue;
                }
                HiveKey* same = nullptr;
                if (!ref->key->deleted) {
                    PathOf(*ref->key, path);
                    same = FindKey(*fresh, path);
                }
                ref->key = same != nullptr ? same : &vanished;
                if (same != nullptr) {
                    fresh->AcquireHandle(*same);
                }
            }
        }
        slot.tree = std::move(fresh);
        slot.stamp.reset();
    }
};

WineRegistry::WineRegistry(const std::filesystem::path& prefixFolder,
                           std::filesystem::path memoFile)
    : state(std::make_unique<State>()) {
    state->memoFile = std::move(memoFile);
    state->machine.path = prefixFolder / "system.reg";
    state->user.path = prefixFolder / "user.reg";
    state->machine.tree = std::make_unique<HiveTree>();
    state->user.tree = std::make_unique<HiveTree>();
}

// Every change is written when the key it was made through is closed, or at DeleteKey, and a
// failure there reaches the caller. What is still unsaved here was made through a handle never
// closed; a destructor can show no box, so a failure goes to the standard error stream (the
// terminal the Linux build runs from) instead of being dropped.
WineRegistry::~WineRegistry() {
    std::string message;
    if (state->Save(message) != ERR_SUCCESS) {
        std::fprintf(stderr, "Parvane: a registry change was not saved: %s\n", message.c_str());
    }
    state->KeepMemo();
}

bool WineRegistry::Load(std::string& errorMessage) {
    for (const auto& [handle, opened] : state->handles) {
        state->Release(opened);
    }
    state->handles.clear();
    state->loaded = false;
    state->enumerated = {};
    state->decodedKey = nullptr;
    state->memo = {};
    state->trustedStamp.clear();
    if (!state->memoFile.empty()) {
        const std::string now = state->CurrentStamp();
        state->memo = now.empty() ? RegistryMemo{} : RegistryMemo::Read(state->memoFile, now);
        if (!state->memo.Empty()) {
            state->trustedStamp = now;
            return true;
        }
    }
    return state->ReadFiles(errorMessage);
}

Win32Error WineRegistry::OpenKey(parvane::Hive hive, const std::string& subKey, KeyHandle& key) {
    key = 0;
    if (const int known = state->TrustedKey(hive, subKey); known >= 0) {
        const Win32Error opened = state->memo.Key(static_cast<std::size_t>(known)).opened;
        if (opened == ERR_SUCCESS) {
            OpenedKey fromMemo;
            fromMemo.remembered = known;
            key = state->Add(fromMemo);
        }
        return opened;
    }
    if (!state->LoadThrough()) {
        return ERR_BADDB;
    }
    OpenedKey opened;
    const Win32Error status = state->Lookup(hive, subKey, opened);
    state->RememberOpening(hive, subKey, status, opened);
    if (status == ERR_SUCCESS) {
        key = state->Add(opened);
    }
    return status;
}

Win32Error WineRegistry::CreateKey(parvane::Hive hive, const std::string& subKey,
                                   const std::string& keyClass, KeyHandle& key) {
    key = 0;
    if (!state->LoadThrough()) {
        return ERR_BADDB;
    }
    HiveSlot* slot = nullptr;
    Path path;
    if (const Win32Error status = state->Locate(hive, subKey, slot, path); status != ERR_SUCCESS) {
        return status;
    }
    const FileTime now = CurrentFileTime();
    HiveKey* current = &slot->tree->Root();
    bool created = false;
    bool createdAny = false;
    for (const std::u16string_view name : path.names) {
        HiveKey* next = FindSubkey(*current, name);
        created = next == nullptr;
        createdAny = createdAny || created;
        current = created ? &slot->tree->CreateSubkey(*current, name, now) : next;
    }
    if (created && !keyClass.empty()) {
        slot->tree->SetClass(*current, Cp1252ToUtf16(keyClass), now);
    }
    OpenedKey opened{{slot, current}, state->ClassesOverlay(hive, subKey)};
    opened.changed = createdAny;
    key = state->Add(opened);
    return ERR_SUCCESS;
}

Win32Error WineRegistry::EnumKey(KeyHandle key, std::uint32_t index, std::uint32_t capacity,
                                 std::string& name) {
    name.clear();
    const OpenedKey* opened = state->Find(key);
    if (opened == nullptr) {
        return ERR_INVALID_HANDLE;
    }
    if (!state->LoadThrough()) {
        return ERR_BADDB;
    }
    const HiveKey& target = *opened->target.key;
    if (target.deleted) {
        return ERR_KEY_DELETED;
    }
    const std::u16string_view* found = nullptr;
    if (opened->overlay.key != nullptr) {
        found = MergedSubkeyName(*opened->overlay.key, target, index);
    } else if (index < target.subkeys.size()) {
        found = &target.subkeys[index]->name;
        state->enumerated = {&target, index};
    }
    if (found == nullptr) {
        return ERR_NO_MORE_ITEMS;
    }
    std::string converted;
    if (!Utf16ToCp1252(*found, converted)) {
        return ERR_NO_UNICODE_TRANSLATION;
    }
    if (converted.size() + 1 > capacity) {
        return ERR_MORE_DATA;
    }
    name = std::move(converted);
    return ERR_SUCCESS;
}

Win32Error WineRegistry::QueryValue(KeyHandle key, const std::string& valueName,
                                    std::uint32_t capacity, std::uint32_t& type,
                                    std::string& data) {
    data.clear();
    const OpenedKey* opened = state->Find(key);
    if (opened == nullptr) {
        return ERR_INVALID_HANDLE;
    }
    if (opened->target.key == nullptr) {
        const RememberedValue* known =
            state->memo.ValueOf(static_cast<std::size_t>(opened->remembered), valueName);
        if (known != nullptr) {
            return Answer(*known, capacity, type, data);
        }
        if (!state->LoadThrough()) {
            return ERR_BADDB;
        }
    }
    if (opened->target.key->deleted) {
        return ERR_KEY_DELETED;
    }
    RememberedValue read = state->ReadValue(*opened, valueName);
    const Win32Error status = Answer(read, capacity, type, data);
    if (opened->remembered >= 0) {
        state->memo.KeepValue(static_cast<std::size_t>(opened->remembered), std::move(read));
    }
    return status;
}

Win32Error WineRegistry::SetValue(KeyHandle key, const std::string& valueName, std::uint32_t type,
                                  const std::string& data) {
    OpenedKey* opened = state->Find(key);
    if (opened == nullptr) {
        return ERR_INVALID_HANDLE;
    }
    if (!state->LoadThrough()) {
        return ERR_BADDB;
    }
    KeyRef& target = opened->target;
    if (target.key->deleted) {
        return ERR_KEY_DELETED;
    }
    HiveValue value{Cp1252ToUtf16(valueName), type, DataForStorage(type, data)};
    if (target.slot->tree->SetValue(*target.key, std::move(value), CurrentFileTime())) {
        opened->changed = true;
    }
    return ERR_SUCCESS;
}

Win32Error WineRegistry::DeleteKey(parvane::Hive hive, const std::string& subKey) {
    const Win32Error status = state->DeleteWithoutSaving(hive, subKey);
    if (status != ERR_SUCCESS) {
        return status;
    }
    std::string ignored;
    return state->Save(ignored);
}

void WineRegistry::DeleteSubkeys(parvane::Hive hive, const std::string& parentKey,
                                 const std::vector<std::string>& names,
                                 std::vector<Win32Error>& results) {
    results.clear();
    for (const std::string& name : names) {
        results.push_back(state->DeleteWithoutSaving(hive, parentKey + "\\" + name));
    }
    std::string ignored;
    if (std::find(results.begin(), results.end(), ERR_SUCCESS) == results.end()) {
        return;
    }
    const Win32Error saved = state->Save(ignored);
    if (saved != ERR_SUCCESS) {
        std::replace(results.begin(), results.end(), ERR_SUCCESS, saved);
    }
}

Win32Error WineRegistry::CloseKey(KeyHandle key) {
    const auto found = state->handles.find(key);
    if (found == state->handles.end()) {
        return ERR_INVALID_HANDLE;
    }
    const bool changed = found->second.changed;
    state->Release(found->second);
    state->handles.erase(found);
    std::string ignored;
    return changed ? state->Save(ignored) : ERR_SUCCESS;
}

std::string WineRegistry::Stamp() const {
    return state->Stamp();
}

void WineRegistry::Release() {
    state->ReleaseTrees();
}

bool WineRegistry::SaveChanges(std::string& errorMessage) {
    return state->Save(errorMessage) == ERR_SUCCESS;
}

}  // namespace parvane::wine
