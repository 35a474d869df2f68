#pragma once

// A list of catalogue records, kept sorted by display name, with an index from GUID text to the
// first record that carries it. Lookups by GUID text give exactly what a walk of the list in
// order would give, without the walk.
//
// Pointers and spans handed out stay valid only until the list next changes (Clear, Append,
// AppendUnsorted, Sort).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "catalogue/Records.h"

namespace parvane {

// Unique across all lists, so that a stamp identifies one state of one list.
std::uint64_t NextListStamp();

template <typename Record>
class RecordList {
  public:
    std::span<const Record> Records() const { return records; }
    std::size_t Count() const { return records.size(); }
    bool Empty() const { return records.empty(); }

    // The first record, in list order, whose guidText equals `guidText` byte for byte.
    const Record* FindByGuidText(std::string_view guidText) const;

    void Clear();
    // Registration: one record joins and the list is sorted again; it goes after the records
    // whose names equal its own.
    void Append(Record record);
    // Loading: append many records, then Sort once.
    void AppendUnsorted(Record record);
    void AppendUnsorted(std::vector<Record> many);
    // Stable, so records with equal names keep their order of arrival.
    void Sort();

    // Changes with every change of the list; two lists never share a stamp unless one is a
    // copy of the other.
    std::uint64_t Stamp() const { return stamp.value; }

  private:
    // Built on first use after a change: a table of positions by the hash of their GUID text
    // (open addressing, at most half full), each slot the position + 1, 0 when empty. It holds
    // four bytes a slot where a map would hold a node of some fifty bytes per record. A copy
    // starts unbuilt.
    struct GuidTextIndex {
        std::vector<std::uint32_t> slots;
        bool built = false;

        GuidTextIndex() = default;
        GuidTextIndex(const GuidTextIndex&) {}
        GuidTextIndex& operator=(const GuidTextIndex&) {
            slots.clear();
            built = false;
            return *this;
        }
        // The source starts unbuilt.
        GuidTextIndex(GuidTextIndex&& other) noexcept
            : slots(std::move(other.slots)), built(other.built) {
            other.built = false;
        }
        GuidTextIndex& operator=(GuidTextIndex&& other) noexcept {
            slots = std::move(other.slots);
            built = other.built;
            other.built = false;
            return *this;
        }
    };

    // A list moved away is left empty, so the source takes a new stamp.
    struct ListStamp {
        std::uint64_t value = 0;

        ListStamp() = default;
        ListStamp(const ListStamp&) = default;
        ListStamp& operator=(const ListStamp&) = default;
        ListStamp(ListStamp&& other) noexcept : value(other.value) {
            other.value = NextListStamp();
        }
        ListStamp& operator=(ListStamp&& other) noexcept {
            value = other.value;
            other.value = NextListStamp();
            return *this;
        }
    };

    void Changed();
    void BuildIndex() const;
    // The slot of the index that holds `guidText`'s first position, or the empty slot where it
    // would go.
    std::size_t IndexSlot(std::string_view guidText) const;

    std::vector<Record> records;
    bool sorted = true;  // false from AppendUnsorted until Sort
    mutable GuidTextIndex index;
    ListStamp stamp;
};

using CourseList = RecordList<CourseRecord>;
using LibraryList = RecordList<LibraryRecord>;

extern template class RecordList<CourseRecord>;
extern template class RecordList<LibraryRecord>;

}  // namespace parvane
