#include "catalogue/StoreSnapshot.h"

#include <array>

#include "base/MadeAhead.h"
#include "base/PathText.h"
#include "base/StateFolder.h"
#include "catalogue/StateFileBytes.h"
#include "platform/Machine.h"

namespace parvane {

namespace {

// The file: MAGIC, FORMAT_VERSION (32-bit), the registry's stamp (32-bit length and text) and
// the number of stores (32-bit); then each store: its path, the number of values of each entry
// (8-bit) and the number of entries (32-bit); then each entry: its key name and the texts of its
// values. Texts are written by PutText.
constexpr std::string_view FILE_NAME = "StoreSnapshot.bin";
constexpr std::string_view MAGIC = "PVSS";
constexpr std::uint32_t FORMAT_VERSION = 1;
// No entry has more values than a course's.
constexpr std::size_t MAX_VALUES = 8;
// A load keeps the game's two stores and the cloaking tool's two.
constexpr std::uint32_t MAX_STORES = 4;

std::string SnapshotFilePath() {
    return JoinPath(StateFolder(), FILE_NAME);
}

// Parses the texts of one entry: its key name and `valueCount` values.
void ReadEntry(ByteReader& reader, std::size_t valueCount, std::string_view& keyName,
               std::span<std::string_view> texts) {
    keyName = reader.Text();
    for (std::size_t value = 0; value < valueCount; ++value) {
        texts[value] = reader.Text();
    }
}

}  // namespace

struct StoreSnapshot::ReadingAhead {
    MadeAhead<CheckedFile> checked;
};

StoreSnapshot::ReadingAhead& StoreSnapshot::TheReadingAhead() {
    static ReadingAhead reading;
    return reading;
}

StoreSnapshot::StoreSnapshot() {
    if (StateFolder().empty()) {
        return;
    }
    stamp = TheMachine().RegistryStamp();
    if (stamp.empty()) {
        DropReadAhead();
        return;
    }
    CheckedFile checked;
    if (ReadingAhead& ahead = TheReadingAhead(); ahead.checked.Pending()) {
        checked = ahead.checked.Take();
    }
    if (checked.path != SnapshotFilePath()) {
        checked = Checked(Opened());
    }
    // Taken of another registry, or not one this version wrote: ignored.
    if (checked.file != nullptr && checked.stamp == stamp) {
        stored = std::move(checked.file);
        storedStores = std::move(checked.stores);
    }
}

void StoreSnapshot::ReadAhead() {
    DropReadAhead();
    // Where the machine gives no stamp, no snapshot is ever taken.
    if (StateFolder().empty() || TheMachine().RegistryStamp().empty()) {
        return;
    }
    // Without a thread, the load checks the file itself.
    TheReadingAhead().checked.Start(
        [opened = Opened()]() mutable { return Checked(std::move(opened)); });
}

void StoreSnapshot::DropReadAhead() {
    TheReadingAhead().checked.Drop();
}

StoreSnapshot::CheckedFile StoreSnapshot::Opened() {
    Win32Error error = ERR_SUCCESS;
    return {SnapshotFilePath(), TheMachine().OpenFile(SnapshotFilePath(), FileMode::Read, error)};
}

StoreSnapshot::CheckedFile StoreSnapshot::Checked(CheckedFile opened) {
    if (opened.file != nullptr && !ReadStores(*opened.file, opened.stamp, opened.stores)) {
        // Cut short, or not what this version writes.
        opened.stores.clear();
        opened.file.reset();
    }
    return opened;
}

bool StoreSnapshot::ReadStores(FileStream& file, std::string& stamp,
                               std::vector<StoredStore>& stores) {
    std::uint64_t size = 0;
    if (!StateFileSize(file, size)) {
        return false;
    }
    BlockReader blocks(file, 0, size);
    bool ours = false;
    std::uint32_t storeCount = 0;
    if (!blocks.Item([&](ByteReader& reader) {
            ours = reader.Text(MAGIC.size()) == MAGIC && reader.Number(4) == FORMAT_VERSION;
            stamp = reader.Text(reader.Number(4));
            storeCount = static_cast<std::uint32_t>(reader.Number(4));
        }) ||
        !ours || storeCount > MAX_STORES) {
        return false;
    }
    std::array<std::string_view, MAX_VALUES> texts;
    std::string_view keyName;
    for (std::uint32_t store = 0; store < storeCount; ++store) {
        StoredStore& found = stores.emplace_back();
        if (!blocks.Item([&](ByteReader& reader) {
                found.path = reader.Text();
                found.valueCount = static_cast<std::size_t>(reader.Number(1));
                found.entryCount = static_cast<std::uint32_t>(reader.Number(4));
            }) ||
            found.valueCount > MAX_VALUES) {
            return false;
        }
        found.start = blocks.Position();
        for (std::uint32_t entry = 0; entry < found.entryCount; ++entry) {
            if (!blocks.Item([&](ByteReader& reader) {
                    ReadEntry(reader, found.valueCount, keyName, texts);
                })) {
                return false;
            }
        }
        found.end = blocks.Position();
    }
    return blocks.AtEnd();
}

const StoreSnapshot::StoredStore* StoreSnapshot::FindStored(std::string_view storePath) const {
    // The first of that path: the stores are few.
    for (const StoredStore& store : storedStores) {
        if (store.path == storePath) {
            return &store;
        }
    }
    return nullptr;
}

bool StoreSnapshot::Holds(std::string_view storePath, std::size_t valueCount) const {
    const StoredStore* found = FindStored(storePath);
    return found != nullptr && found->valueCount == valueCount;
}

std::size_t StoreSnapshot::EntryCount(std::string_view storePath) const {
    return FindStored(storePath)->entryCount;
}

bool StoreSnapshot::ForEachEntry(
    std::string_view storePath,
    const std::function<void(std::string_view, std::span<const std::string_view>)>& visit) const {
    const StoredStore& store = *FindStored(storePath);
    BlockReader blocks(*stored, store.start, store.end);
    std::array<std::string_view, MAX_VALUES> texts;
    std::string_view keyName;
    for (std::uint32_t entry = 0; entry < store.entryCount; ++entry) {
        if (!blocks.Item(
                [&](ByteReader& reader) { ReadEntry(reader, store.valueCount, keyName, texts); })) {
            return false;
        }
        visit(keyName, std::span(texts).first(store.valueCount));
    }
    return true;
}

void StoreSnapshot::KeepStore(std::string_view storePath, std::size_t valueCount) {
    if (!stamp.empty()) {
        kept.push_back({std::string(storePath), valueCount, 0, {}});
    }
}

void StoreSnapshot::KeepEntry(std::string_view keyName, std::span<const EntryValue> values) {
    if (kept.empty()) {
        return;
    }
    KeptStore& store = kept.back();
    PutText(store.entries, keyName);
    for (const EntryValue& value : values) {
        PutText(store.entries, *value.text);
    }
    ++store.entryCount;
}

void StoreSnapshot::Save(bool loadedWhole) {
    // Closed first: a file open elsewhere cannot be replaced on every system.
    stored.reset();
    if (!loadedWhole || kept.empty() || TheMachine().RegistryStamp() != stamp) {
        return;
    }
    std::string head(MAGIC);
    PutNumber(head, FORMAT_VERSION, 4);
    PutNumber(head, stamp.size(), 4);
    head += stamp;
    PutNumber(head, kept.size(), 4);
    std::vector<std::string> storeHeads;
    storeHeads.reserve(kept.size());
    std::vector<std::string_view> parts = {head};
    for (const KeptStore& store : kept) {
        std::string& storeHead = storeHeads.emplace_back();
        PutText(storeHead, store.path);
        PutNumber(storeHead, store.valueCount, 1);
        PutNumber(storeHead, store.entryCount, 4);
        parts.push_back(storeHead);
        parts.push_back(store.entries);
    }
    ReplaceStateFile(SnapshotFilePath(), parts);
}

}  // namespace parvane
