#pragma once

// The key tree of one registry file (system.reg or user.reg), kept so that it can be written
// back as Wine writes it: keys stay in the order of the file, new keys go where Wine would put
// them, and each key that did not change keeps its original lines. The tree holds the file's
// text once: a key that did not change refers to its lines there, and its values are decoded
// from them when they are asked for.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/wine/registry/RegistryLines.h"

namespace parvane::wine {

// FILETIME: 100-nanosecond ticks since 1601-01-01 UTC.
using FileTime = std::uint64_t;

FileTime CurrentFileTime();
FileTime FileTimeFromUnixSeconds(std::uint64_t seconds);
std::uint32_t UnixSecondsFromFileTime(FileTime time);

// Compares key or value names as Wine's registry does: letter case ignored, and ordered by
// the small letters (so "_x" comes before "a"). Below 0, 0 or above 0.
int CompareNames(std::u16string_view a, std::u16string_view b);

struct HiveKey;

// The keys of a hive in the order in which its file holds them, linked through the keys.
class FileOrder {
  public:
    class Iterator {
      public:
        explicit Iterator(HiveKey* at) : key(at) {}
        HiveKey* operator*() const { return key; }
        Iterator& operator++();
        bool operator==(const Iterator&) const = default;

      private:
        HiveKey* key;
    };

    Iterator begin() const { return Iterator(first); }
    Iterator end() const { return Iterator(nullptr); }
    void Append(HiveKey& key);
    void InsertAfter(HiveKey& key, HiveKey& previous);
    void Remove(HiveKey& key);

  private:
    HiveKey* first = nullptr;
    HiveKey* last = nullptr;
};

// What a key holds besides its subkeys and lines, apart from it: a large hive has tens of
// thousands of keys, and few of them ever hold values outside their lines or a class.
struct HiveKeyContent {
    // Ordered by CompareNames; empty while the key keeps its values in its lines.
    std::vector<HiveValue> values;
    std::optional<std::u16string> keyClass;
};

struct HiveKey {
    std::u16string_view name;  // kept by the tree
    HiveKey* parent = nullptr;
    std::vector<std::unique_ptr<HiveKey>> subkeys;  // ordered by CompareNames
    std::unique_ptr<HiveKeyContent> content;        // null while it would be empty
    FileTime modified = 0;
    // The key's own lines in the tree's copy of the file, from "[" to its last value, while the
    // key does not change; empty for a key that is new, changed or only implied by its subkeys.
    std::string_view originalText;
    // The blank lines in front of the key's lines.
    std::string_view separator = "\n";
    bool isLink = false;
    bool deleted = false;
    // While reading the file: the key's own lines have been met.
    bool read = false;
    int openHandles = 0;
    // The neighbours in the hive's file order.
    HiveKey* previousInFile = nullptr;
    HiveKey* nextInFile = nullptr;
};

// The subkey of that name, or null.
HiveKey* FindSubkey(const HiveKey& key, std::u16string_view name);
// The value of that name, decoded from the key's lines when the key did not change.
std::optional<HiveValue> FindValue(const HiveKey& key, std::u16string_view name);
// Every value of the key, ordered by CompareNames.
std::vector<HiveValue> ValuesOf(const HiveKey& key);
// The values the key holds outside its lines, ordered by CompareNames: none while it keeps them
// in its lines.
std::span<const HiveValue> HeldValues(const HiveKey& key);
// The key's class, or null when it has none.
const std::u16string* ClassOf(const HiveKey& key);
// The value of that name among values ordered by CompareNames, or null.
const HiveValue* FindValueIn(std::span<const HiveValue> values, std::u16string_view name);

// Wine writes a key that has values, a class, the link flag or no subkeys; a key that has
// only subkeys is implied by them.
bool IsWrittenOut(const HiveKey& key);

class HiveTree {
  public:
    HiveTree();
    HiveTree(const HiveTree&) = delete;
    HiveTree& operator=(const HiveTree&) = delete;

    HiveKey& Root() { return *root; }
    const HiveKey& Root() const { return *root; }
    // Every key, the root first, in the order in which the file holds them.
    const FileOrder& KeysInFileOrder() const { return fileOrder; }

    // While reading the file: keeps its text, to which the keys' `originalText` and
    // `separator` refer.
    std::string_view HoldFileText(std::string text);
    // While reading the file: the named subkey, created at the end of the file order when
    // missing; nothing is marked changed. A name that comes after the last subkey (as in a
    // file in Wine's order) is added without a search.
    HiveKey& SubkeyForLoading(HiveKey& parent, std::u16string_view name);
    // While reading the file: the key's lines come here, after those read so far.
    void MoveToEndOfFile(HiveKey& key);
    // While reading the file: sets or replaces a value, or sets the class, without marking
    // anything changed.
    static void StoreValue(HiveKey& key, HiveValue value);
    static void StoreClass(HiveKey& key, std::u16string keyClass);
    // Moves the values of a key that kept them in its lines into `values`; the key is then
    // written in Wine's layout. (Reading the file merges a key's second lines so, as Wine does.)
    static void DecodeValues(HiveKey& key);

    // A new subkey stamped `now`, placed in the file where Wine would write it; the parent's
    // stamp is renewed, as Wine does when a subkey is created.
    HiveKey& CreateSubkey(HiveKey& parent, std::u16string_view name, FileTime now);
    // Removes a key that has no subkeys and renews the parent's stamp. While handles refer to
    // it the key stays allocated, marked deleted, until ReleaseHandle.
    void DeleteKey(HiveKey& key, FileTime now);
    void AcquireHandle(HiveKey& key) { ++key.openHandles; }
    void ReleaseHandle(HiveKey& key);
    // Sets a value; false when it already held exactly that type and data (Wine then leaves the
    // key untouched).
    bool SetValue(HiveKey& key, HiveValue value, FileTime now);
    void SetClass(HiveKey& key, std::u16string keyClass, FileTime now);

    // The text before the first key and after the last one.
    std::string preamble;
    std::string trailer;
    // The value of the file's "#arch=" option, empty when it has none.
    std::string arch;
    // Changes not yet written to the file.
    bool dirty = false;

  private:
    void Touch(HiveKey& key, FileTime now);
    // A copy of a key's name beside the other names, in blocks: the keys are many and their
    // names short.
    std::u16string_view KeepName(std::u16string_view name);
    using Subkeys = std::vector<std::unique_ptr<HiveKey>>;
    HiveKey& InsertSubkey(HiveKey& parent, Subkeys::iterator subkeyPosition,
                          std::u16string_view name);

    std::string fileText;
    std::vector<std::unique_ptr<char16_t[]>> nameBlocks;
    char16_t* nameSpace = nullptr;  // the free end of the last block
    std::size_t nameSpaceLength = 0;
    std::unique_ptr<HiveKey> root;
    FileOrder fileOrder;
    std::vector<std::unique_ptr<HiveKey>> deletedButOpen;
};

}  // namespace parvane::wine
