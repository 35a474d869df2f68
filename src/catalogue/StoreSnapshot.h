#pragma once

// The entries of the content stores as a catalogue load read them from the registry, kept in
// the state folder beside the registry's stamp (Machine::RegistryStamp), so that a later load
// takes them from there instead of opening tens of thousands of keys, while the stamp is the
// same. A file that cannot be read, is cut short, comes from another version or was taken of
// another registry is ignored and written anew; it is never an error. Without a state folder, or
// where the machine gives no stamp, nothing is kept.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/StoreEntries.h"
#include "platform/Machine.h"

namespace parvane {

class StoreSnapshot {
  public:
    // The snapshot of the state folder, when it was taken of the registry as it is now.
    StoreSnapshot();

    // Starts checking the snapshot file of the state folder on a thread of its own, for the
    // next StoreSnapshot made while the state folder is the same, which trusts it as it trusts
    // the file it reads itself: the file is opened here, and the thread makes no call to the
    // machine but the file's reads. DropReadAhead waits for a check that no StoreSnapshot took.
    static void ReadAhead();
    static void DropReadAhead();

    // Whether what a load reads can be kept: there is a state folder and the registry's stamp.
    bool Keeps() const { return !stamp.empty(); }
    // Whether the entries of the store at `storePath` are kept, each with `valueCount` values.
    bool Holds(std::string_view storePath, std::size_t valueCount) const;
    // The number of entries kept of a store it Holds.
    std::size_t EntryCount(std::string_view storePath) const;
    // Calls `visit(keyName, texts)` for each entry kept of the store, in the order in which the
    // registry listed them, with the texts of its values in the order they were kept. Only for a
    // store it Holds. The file is read again, a block at a time; false when it cannot be, after
    // some entries may have been visited.
    bool ForEachEntry(std::string_view storePath,
                      const std::function<void(std::string_view,
                                               std::span<const std::string_view>)>& visit) const;

    // What this load reads from the registry, kept for the next: a store begins, then each of
    // its entries with its values follows.
    void KeepStore(std::string_view storePath, std::size_t valueCount);
    void KeepEntry(std::string_view keyName, std::span<const EntryValue> values);

    // Writes what this load kept when it read every store whole, the registry has not changed
    // since the load began, and the file does not hold that already. A failure leaves the old
    // file or none; it is not reported.
    void Save(bool loadedWhole);

  private:
    struct StoredStore {
        std::string path;
        std::size_t valueCount = 0;
        std::uint32_t entryCount = 0;
        std::uint64_t start = 0;  // where its entries start and end in the file
        std::uint64_t end = 0;
    };
    struct KeptStore {
        std::string path;
        std::size_t valueCount = 0;
        std::uint32_t entryCount = 0;
        std::string entries;
    };

    // The snapshot file opened, its stores read and every entry checked, with the registry's
    // stamp it was taken of.
    struct CheckedFile {
        std::string path;
        std::unique_ptr<FileStream> file;  // none when it is not a file this version wrote
        std::string stamp = {};
        std::vector<StoredStore> stores = {};
    };
    struct ReadingAhead;
    static ReadingAhead& TheReadingAhead();

    const StoredStore* FindStored(std::string_view storePath) const;
    // Reads the file's stamp and stores, checking every entry; false when the file is not one
    // this version wrote.
    static bool ReadStores(FileStream& file, std::string& stamp, std::vector<StoredStore>& stores);
    // The snapshot file of the state folder, opened.
    static CheckedFile Opened();
    // `opened` with its stamp and stores read and checked.
    static CheckedFile Checked(CheckedFile opened);

    std::string stamp;  // the registry's stamp when the load began; empty: nothing is kept
    // The file, while it was taken of the registry as it is now: kept open, so that the entries
    // read later are those checked, even if the file is replaced by name meanwhile.
    std::unique_ptr<FileStream> stored;
    std::vector<StoredStore> storedStores;
    std::vector<KeptStore> kept;
};

}  // namespace parvane
