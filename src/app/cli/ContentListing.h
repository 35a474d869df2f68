#pragma once

// `parvane list`: the registered courses or libraries, one line per entry of the uninstall
// list (installed entries, then cloaked ones), with the folder of each entry's file.

#include <functional>
#include <string>
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

// The entry at a line, made when it is asked for.
using EntryMaker = std::function<ListedEntry(int line)>;

// The entries at `lines` as the terminal shows them (UTF-8): the list text, the usage count in
// a column of its own, the GUID when `withGuid`, and the folder. Each entry is made, and each
// line handed to `show`, as it comes, so that a long list is never held whole.
void ForEachListingLine(const EntryMaker& entryAt, const std::vector<int>& lines, bool withGuid,
                        const std::function<void(const std::string&)>& show);
std::vector<std::string> ListingLines(const std::vector<ListedEntry>& entries,
                                      const std::vector<int>& lines, bool withGuid);

// Prints every entry; EXIT_DONE.
int ListContent(ContentKind kind, bool withGuid);

}  // namespace parvane::cli
