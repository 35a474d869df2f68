#include "platform/wine/registry/RegistryHive.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <utility>

#include "platform/wine/text/Codepage.h"

namespace parvane::wine {

namespace {

constexpr FileTime TICKS_PER_SECOND = 10'000'000;
constexpr std::size_t NAME_BLOCK_LENGTH = 32'768;  // characters
constexpr FileTime TICKS_FROM_1601_TO_1970 = 116'444'736'000'000'000;

// The small letter of a letter pair that FoldCase knows, the character itself otherwise: Wine
// orders names by small letters.
char16_t SortChar(char16_t c) {
    if (c < 0x80) {
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c;
    }
    if (FoldCase(c) != c) {
        return c;
    }
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<char16_t>(c + 0x20);
    }
    if (c == 0x178) {
        return 0xFF;
    }
    if (c == 0x160 || c == 0x152 || c == 0x17D) {
        return static_cast<char16_t>(c + 1);
    }
    return c;
}

template <typename Item, typename NameOf>
auto LowerBoundByName(Item& items, std::u16string_view name, NameOf nameOf) {
    return std::lower_bound(items.begin(), items.end(), name,
                            [&](const auto& item, std::u16string_view wanted) {
                                return CompareNames(nameOf(item), wanted) < 0;
                            });
}

auto SubkeyBound(const HiveKey& key, std::u16string_view name) {
    return LowerBoundByName(
        key.subkeys, name,
        [](const std::unique_ptr<HiveKey>& k) -> std::u16string_view { return k->name; });
}

// Sets or replaces the value of that name in values ordered by CompareNames.
void StoreInOrder(std::vector<HiveValue>& values, HiveValue value) {
    auto found = LowerBoundByName(values, value.name,
                                  [](const HiveValue& v) -> std::u16string_view { return v.name; });
    if (found != values.end() && CompareNames(found->name, value.name) == 0) {
        found->type = value.type;
        found->data = std::move(value.data);
        return;
    }
    values.insert(found, std::move(value));
}

HiveKeyContent& ContentOf(HiveKey& key) {
    if (key.content == nullptr) {
        key.content = std::make_unique<HiveKeyContent>();
    }
    return *key.content;
}

// The key of the subtree under `key` that Wine writes last.
HiveKey& LastOfSubtree(HiveKey& key) {
    HiveKey* last = &key;
    while (!last->subkeys.empty()) {
        last = last->subkeys.back().get();
    }
    return *last;
}

}  // namespace

FileTime CurrentFileTime() {
    using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, TICKS_PER_SECOND>>;
    const auto sinceEpoch =
        std::chrono::duration_cast<Ticks>(std::chrono::system_clock::now().time_since_epoch());
    return static_cast<FileTime>(sinceEpoch.count()) + TICKS_FROM_1601_TO_1970;
}

FileTime FileTimeFromUnixSeconds(std::uint64_t seconds) {
    return seconds * TICKS_PER_SECOND + TICKS_FROM_1601_TO_1970;
}

std::uint32_t UnixSecondsFromFileTime(FileTime time) {
    return static_cast<std::uint32_t>((time - TICKS_FROM_1601_TO_1970) / TICKS_PER_SECOND);
}

int CompareNames(std::u16string_view a, std::u16string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (a[i] == b[i]) {
            continue;  // the keys of a store share long beginnings
        }
        const char16_t left = SortChar(a[i]);
        const char16_t right = SortChar(b[i]);
        if (left != right) {
            return left < right ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

HiveKey* FindSubkey(const HiveKey& key, std::u16string_view name) {
    const auto found = SubkeyBound(key, name);
    if (found == key.subkeys.end() || CompareNames((*found)->name, name) != 0) {
        return nullptr;
    }
    return found->get();
}

std::optional<HiveValue> FindValue(const HiveKey& key, std::u16string_view name) {
    if (!key.originalText.empty()) {
        return FindValueInLines(key.originalText, name);
    }
    if (const HiveValue* found = FindValueIn(HeldValues(key), name)) {
        return *found;
    }
    return std::nullopt;
}

const HiveValue* FindValueIn(std::span<const HiveValue> values, std::u16string_view name) {
    const auto found = LowerBoundByName(
        values, name, [](const HiveValue& v) -> std::u16string_view { return v.name; });
    if (found == values.end() || CompareNames(found->name, name) != 0) {
        return nullptr;
    }
    return &*found;
}

std::vector<HiveValue> ValuesOf(const HiveKey& key) {
    if (key.originalText.empty()) {
        const std::span<const HiveValue> held = HeldValues(key);
        return {held.begin(), held.end()};
    }
    std::vector<HiveValue> values;
    for (HiveValue& value : ValuesInLines(key.originalText)) {
        StoreInOrder(values, std::move(value));
    }
    return values;
}

std::span<const HiveValue> HeldValues(const HiveKey& key) {
    if (key.content == nullptr) {
        return {};
    }
    return key.content->values;
}

const std::u16string* ClassOf(const HiveKey& key) {
    return key.content != nullptr && key.content->keyClass ? &*key.content->keyClass : nullptr;
}

bool IsWrittenOut(const HiveKey& key) {
    return !HeldValues(key).empty() || key.subkeys.empty() || ClassOf(key) != nullptr || key.isLink;
}

FileOrder::Iterator& FileOrder::Iterator::operator++() {
    key = key->nextInFile;
    return *this;
}

void FileOrder::Append(HiveKey& key) {
    key.previousInFile = last;
    key.nextInFile = nullptr;
    (last != nullptr ? last->nextInFile : first) = &key;
    last = &key;
}

void FileOrder::InsertAfter(HiveKey& key, HiveKey& previous) {
    key.previousInFile = &previous;
    key.nextInFile = previous.nextInFile;
    (previous.nextInFile != nullptr ? previous.nextInFile->previousInFile : last) = &key;
    previous.nextInFile = &key;
}

void FileOrder::Remove(HiveKey& key) {
    (key.previousInFile != nullptr ? key.previousInFile->nextInFile : first) = key.nextInFile;
    (key.nextInFile != nullptr ? key.nextInFile->previousInFile : last) = key.previousInFile;
    key.previousInFile = nullptr;
    key.nextInFile = nullptr;
}

HiveTree::HiveTree() : root(std::make_unique<HiveKey>()) {
    fileOrder.Append(*root);
}

HiveKey& HiveTree::InsertSubkey(HiveKey& parent, Subkeys::iterator subkeyPosition,
                                std::u16string_view name) {
    auto key = std::make_unique<HiveKey>();
    key->name = KeepName(name);
    key->parent = &parent;
    key->modified = parent.modified;
    HiveKey& added = *key;
    parent.subkeys.insert(subkeyPosition, std::move(key));
    return added;
}

std::u16string_view HiveTree::KeepName(std::u16string_view name) {
    if (name.size() > nameSpaceLength) {
        nameSpaceLength = std::max(NAME_BLOCK_LENGTH, name.size());
        nameBlocks.push_back(std::make_unique_for_overwrite<char16_t[]>(nameSpaceLength));
        nameSpace = nameBlocks.back().get();
    }
    const std::u16string_view kept(nameSpace, name.size());
    std::copy(name.begin(), name.end(), nameSpace);
    nameSpace += name.size();
    nameSpaceLength -= name.size();
    return kept;
}

std::string_view HiveTree::HoldFileText(std::string text) {
    fileText = std::move(text);
    return fileText;
}

HiveKey& HiveTree::SubkeyForLoading(HiveKey& parent, std::u16string_view name) {
    if (!parent.subkeys.empty()) {
        HiveKey& last = *parent.subkeys.back();
        const int order = CompareNames(last.name, name);
        if (order == 0) {
            return last;
        }
        if (order < 0) {
            HiveKey& added = InsertSubkey(parent, parent.subkeys.end(), name);
            fileOrder.Append(added);
            return added;
        }
    }
    const auto bound = SubkeyBound(parent, name);
    if (bound != parent.subkeys.end() && CompareNames((*bound)->name, name) == 0) {
        return **bound;
    }
    HiveKey& added =
        InsertSubkey(parent, parent.subkeys.begin() + (bound - parent.subkeys.cbegin()), name);
    fileOrder.Append(added);
    return added;
}

void HiveTree::MoveToEndOfFile(HiveKey& key) {
    fileOrder.Remove(key);
    fileOrder.Append(key);
}

void HiveTree::StoreValue(HiveKey& key, HiveValue value) {
    StoreInOrder(ContentOf(key).values, std::move(value));
}

void HiveTree::StoreClass(HiveKey& key, std::u16string keyClass) {
    ContentOf(key).keyClass = std::move(keyClass);
}

void HiveTree::DecodeValues(HiveKey& key) {
    if (!key.originalText.empty()) {
        std::vector<HiveValue> values = ValuesOf(key);  // a key with lines has no other values
        key.originalText = {};
        if (!values.empty()) {
            ContentOf(key).values = std::move(values);
        }
    }
}

HiveKey& HiveTree::CreateSubkey(HiveKey& parent, std::u16string_view name, FileTime now) {
    const auto bound = SubkeyBound(parent, name);
    HiveKey& before = bound == parent.subkeys.begin() ? parent : LastOfSubtree(**std::prev(bound));
    HiveKey& key =
        InsertSubkey(parent, parent.subkeys.begin() + (bound - parent.subkeys.cbegin()), name);
    fileOrder.InsertAfter(key, before);
    key.modified = now;
    Touch(parent, now);
    return key;
}

void HiveTree::DeleteKey(HiveKey& key, FileTime now) {
    HiveKey& parent = *key.parent;
    const auto found =
        parent.subkeys.begin() + (SubkeyBound(parent, key.name) - parent.subkeys.cbegin());
    std::unique_ptr<HiveKey> owned = std::move(*found);
    parent.subkeys.erase(found);
    fileOrder.Remove(key);
    key.deleted = true;
    Touch(parent, now);
    if (key.openHandles > 0) {
        deletedButOpen.push_back(std::move(owned));
    }
}

void HiveTree::ReleaseHandle(HiveKey& key) {
    --key.openHandles;
    if (key.deleted && key.openHandles == 0) {
        std::erase_if(deletedButOpen,
                      [&](const std::unique_ptr<HiveKey>& k) { return k.get() == &key; });
    }
}

bool HiveTree::SetValue(HiveKey& key, HiveValue value, FileTime now) {
    if (const std::optional<HiveValue> existing = FindValue(key, value.name);
        existing && existing->type == value.type && existing->data == value.data) {
        return false;
    }
    Touch(key, now);
    StoreValue(key, std::move(value));
    return true;
}

void HiveTree::SetClass(HiveKey& key, std::u16string keyClass, FileTime now) {
    StoreClass(key, std::move(keyClass));
    Touch(key, now);
}

void HiveTree::Touch(HiveKey& key, FileTime now) {
    DecodeValues(key);
    key.modified = now;
    dirty = true;
}

}  // namespace parvane::wine
