#include "catalogue/RecordList.h"

#include <algorithm>
#include <functional>
#include <iterator>

#include "platform/AsciiCase.h"

namespace parvane {

std::uint64_t NextListStamp() {
    static std::uint64_t last = 0;
    return ++last;
}

namespace {

// A power of two, as every size of the index is.
constexpr std::size_t MIN_INDEX_SLOTS = 16;

template <typename Record>
bool NameBefore(const Record& first, const Record& second) {
    return CompareNoCase(first.name, second.name) < 0;
}

// The first eight characters of a name folded as CompareNoCase folds them, as a number that
// orders as they do: a shorter name is padded with zeros, which order first as its end does.
// Most names differ within them, so that most comparisons of a sort compare two numbers.
std::uint64_t NamePrefix(std::string_view name) {
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < sizeof prefix; ++i) {
        const char c = i < name.size() ? UpperAscii(name[i]) : '\0';
        prefix = (prefix << 8) | static_cast<unsigned char>(c);
    }
    return prefix;
}

// A record's place in the sort: its name's prefix and its position.
struct SortKey {
    std::uint64_t prefix = 0;
    std::size_t position = 0;
};

}  // namespace

template <typename Record>
const Record* RecordList<Record>::FindByGuidText(std::string_view guidText) const {
    if (!index.built) {
        BuildIndex();
    }
    const std::uint32_t held = index.slots[IndexSlot(guidText)];
    return held == 0 ? nullptr : &records[held - 1];
}

template <typename Record>
std::size_t RecordList<Record>::IndexSlot(std::string_view guidText) const {
    const std::size_t mask = index.slots.size() - 1;
    std::size_t slot = std::hash<std::string_view>{}(guidText)&mask;
    while (index.slots[slot] != 0 && records[index.slots[slot] - 1].guidText != guidText) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

template <typename Record>
void RecordList<Record>::Clear() {
    records.clear();
    sorted = true;
    Changed();
}

template <typename Record>
void RecordList<Record>::Append(Record record) {
    if (!sorted) {
        AppendUnsorted(std::move(record));
        Sort();
        return;
    }
    // The same place a stable sort after appending would give, without the sort.
    const auto place = std::upper_bound(records.begin(), records.end(), record, NameBefore<Record>);
    records.insert(place, std::move(record));
    Changed();
}

template <typename Record>
void RecordList<Record>::AppendUnsorted(Record record) {
    records.push_back(std::move(record));
    sorted = false;
    Changed();
}

template <typename Record>
void RecordList<Record>::AppendUnsorted(std::vector<Record> many) {
    if (records.empty()) {
        records = std::move(many);  // a first load takes the records where they are
    } else {
        std::move(many.begin(), many.end(), std::back_inserter(records));
    }
    sorted = false;
    Changed();
}

template <typename Record>
void RecordList<Record>::Sort() {
    // The positions are sorted, then the records are moved into place along the cycles of that
    // order, each about once: a course record holds over fifty strings, and sorting the
    // records themselves would move each of them some log n times.
    std::vector<SortKey> keys(records.size());
    for (std::size_t position = 0; position < records.size(); ++position) {
        keys[position] = {NamePrefix(records[position].name), position};
    }
    std::stable_sort(keys.begin(), keys.end(), [this](const SortKey& first, const SortKey& second) {
        return first.prefix != second.prefix
                   ? first.prefix < second.prefix
                   : NameBefore(records[first.position], records[second.position]);
    });
    for (std::size_t start = 0; start < keys.size(); ++start) {
        if (keys[start].position == start) {
            continue;
        }
        // Position p takes the record from keys[p].position; a position filled is marked as
        // its own.
        Record held = std::move(records[start]);
        std::size_t position = start;
        while (keys[position].position != start) {
            const std::size_t from = keys[position].position;
            records[position] = std::move(records[from]);
            keys[position].position = position;
            position = from;
        }
        records[position] = std::move(held);
        keys[position].position = position;
    }
    sorted = true;
    Changed();
}

template <typename Record>
void RecordList<Record>::Changed() {
    // Only when built: clearing a map costs its bucket count, once per append in a bulk load.
    if (index.built) {
        index.slots.clear();
        index.built = false;
    }
    stamp.value = NextListStamp();
}

template <typename Record>
void RecordList<Record>::BuildIndex() const {
    std::size_t size = MIN_INDEX_SLOTS;
    while (size < 2 * records.size()) {
        size *= 2;
    }
    index.slots.assign(size, 0);
    for (std::size_t position = 0; position < records.size(); ++position) {
        // The first position of a text that occurs twice stays.
        std::uint32_t& slot = index.slots[IndexSlot(records[position].guidText)];
        if (slot == 0) {
            slot = static_cast<std::uint32_t>(position + 1);
        }
    }
    index.built = true;
}

template class RecordList<CourseRecord>;
template class RecordList<LibraryRecord>;

}  // namespace parvane
