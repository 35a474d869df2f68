#include "catalogue/StoreSnapshot.h"

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

std::string SnapshotFilePath() {
    return JoinPath(StateFolder(), FILE_NAME);
}

// Reads past the entries of one store; false when they are cut short.
bool SkipEntries(ByteReader& reader, std::size_t valueCount, std::uint32_t entryCount) {
    for (std::uint32_t entry = 0; entry < entryCount && reader.ok; ++entry) {
        for (std::size_t text = 0; text <= valueCount; ++text) {
            reader.Text();
        }
    }
    return reader.ok;
}

}  // namespace

StoreSnapshot::StoreSnapshot() {
    if (StateFolder().empty()) {
        return;
    }
    stamp = TheMachine().RegistryStamp();
    if (stamp.empty()) {
        return;
    }
    stored = ReadStateFile(SnapshotFilePath());
    ByteReader reader(stored, 0);
    const bool ours = reader.Text(MAGIC.size()) == MAGIC && reader.Number(4) == FORMAT_VERSION &&
                      reader.Text(reader.Number(4)) == stamp;
    const auto storeCount = static_cast<std::uint32_t>(reader.Number(4));
    for (std::uint32_t store = 0; ours && store < storeCount && reader.ok; ++store) {
        const std::string_view path = reader.Text();
        StoredStore found;
        found.valueCount = static_cast<std::size_t>(reader.Number(1));
        found.entryCount = static_cast<std::uint32_t>(reader.Number(4));
        found.start = reader.Position();
        reader.ok = reader.ok && found.valueCount <= MAX_VALUES &&
                    SkipEntries(reader, found.valueCount, found.entryCount);
        storedStores.emplace(path, found);
    }
    if (!ours || !reader.ok || !reader.AtEnd()) {
        // Another registry's, cut short, or not what this version writes.
        storedStores.clear();
        stored.clear();
    }
}

bool StoreSnapshot::Holds(std::string_view storePath, std::size_t valueCount) const {
    const auto found = storedStores.find(storePath);
    return found != storedStores.end() && found->second.valueCount == valueCount;
}

std::size_t StoreSnapshot::EntryCount(std::string_view storePath) const {
    return storedStores.at(storePath).entryCount;
}

void StoreSnapshot::ForEachEntry(
    std::string_view storePath,
    const std::function<void(std::string_view, std::span<const std::string_view>)>& visit) const {
    const StoredStore& store = storedStores.at(storePath);
    ByteReader reader(stored, store.start);
    std::array<std::string_view, MAX_VALUES> texts;
    for (std::uint32_t entry = 0; entry < store.entryCount; ++entry) {
        const std::string_view keyName = reader.Text();
        for (std::size_t value = 0; value < store.valueCount; ++value) {
            texts[value] = reader.Text();
        }
        visit(keyName, std::span(texts).first(store.valueCount));
    }
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
