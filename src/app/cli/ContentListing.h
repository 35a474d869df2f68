#pragma once

// `parvane list`: the registered courses or libraries, one line per entry of the uninstall
// list (installed entries, then cloaked ones), with the folder of each entry's file.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace parvane::cli {

enum class ContentKind { Courses, Libraries };

// One line of an uninstall list and the entry behind it.
struct ListedEntry {
    std::string line;  // as the uninstall list shows it: marker, name, cloaked note, usage
    std::string guidText;
    std::string name;
    std::string folder;
    bool cloaked = false;  // listed from the cloak store
};

// The entries of the catalogue as it stands, in list order.
std::vector<ListedEntry> ListedEntries(ContentKind kind);

// An entry as a listing reads it: views of its list line and of the texts of the record or the
// ListedEntry it is read from, valid while those stand.
struct EntryView {
    std::string_view line;
    std::string_view guidText;
    std::string_view name;
    std::string_view folder;
    bool cloaked = false;
};

// The entries as the terminal shows them (UTF-8): the list text, the usage count in a column
// of its own, the GUID when `withGuid`, and the folder. Each line is handed to `show` as it is
// made, so that the lines of a long list are never held together.
void ForEachListingLine(std::span<const EntryView> entries, bool withGuid,
                        const std::function<void(const std::string&)>& show);
std::vector<std::string> ListingLines(const std::vector<ListedEntry>& entries,
                                      const std::vector<int>& lines, bool withGuid);

// Prints every entry; EXIT_DONE.
int ListContent(ContentKind kind, bool withGuid);

}  // namespace parvane::cli
