#include "app/cli/ContentListing.h"

#include <algorithm>
#include <functional>
#include <iostream>
#include <numeric>
#include <unordered_map>

#include "app/cli/PrefixSession.h"
#include "app/cli/TerminalUserInterface.h"
#include "base/PathText.h"
#include "catalogue/Catalogue.h"
#include "uninstall/UninstallLists.h"

namespace parvane::cli {

namespace {

constexpr const char* COLUMN_GAP = "  ";

template <typename Record>
ListedEntry EntryOf(const Record& record, bool cloaked,
                    std::string (*listLine)(const Record&, bool)) {
    return {listLine(record, cloaked), record.guidText, record.name,
            std::string(FolderTextPart(record.filename)), cloaked};
}

std::size_t EntryCount(ContentKind kind) {
    return kind == ContentKind::Courses
               ? GetInstalledCourses().size() + GetCloakedCourses().size()
               : GetInstalledLibraries().size() + GetCloakedLibraries().size();
}

// The uninstall list shows the installed entries, then the cloaked ones.
ListedEntry ListedEntryAt(ContentKind kind, int line) {
    const auto index = static_cast<std::size_t>(line);
    return kind == ContentKind::Courses
               ? EntryOf(*CourseAtListLine(line), index >= GetInstalledCourses().size(),
                         CourseListLine)
               : EntryOf(*LibraryAtListLine(line), index >= GetInstalledLibraries().size(),
                         LibraryListLine);
}

// A list line split at its tab: the marker and the name with its note, and the usage count.
struct LineColumns {
    std::string text;
    std::string usage;
};

constexpr std::size_t MARKER_WIDTH = 3;

// The marker ("+" for the game's own content) in a column of its own, and a name that begins
// or ends with blanks in quotes, so that the player sees them.
LineColumns ColumnsOf(const ListedEntry& entry) {
    const std::size_t tab = entry.line.find('\t');
    std::string text = entry.line.substr(0, tab);
    if (text.starts_with("+ ") && !text.starts_with("+  ")) {
        text.insert(1, " ");
    }
    const std::string& name = entry.name;
    const bool blankEdged = !name.empty() && (name.front() == ' ' || name.back() == ' ');
    if (blankEdged && text.compare(MARKER_WIDTH, name.size(), name) == 0) {
        text = text.substr(0, MARKER_WIDTH) + "'" + name + "'" +
               text.substr(MARKER_WIDTH + name.size());
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return {text, tab == std::string::npos ? std::string() : entry.line.substr(tab + 1)};
}

std::string PaddedRight(const std::string& text, std::size_t width) {
    return text + std::string(width - std::min(width, text.size()), ' ');
}

std::string PaddedLeft(const std::string& text, std::size_t width) {
    return std::string(width - std::min(width, text.size()), ' ') + text;
}

}  // namespace

std::vector<ListedEntry> ListedEntries(ContentKind kind) {
    std::vector<ListedEntry> entries;
    entries.reserve(EntryCount(kind));
    for (std::size_t line = 0; line < entries.capacity(); ++line) {
        entries.push_back(ListedEntryAt(kind, static_cast<int>(line)));
    }
    return entries;
}

void ForEachListingLine(const EntryMaker& entryAt, const std::vector<int>& lines, bool withGuid,
                        const std::function<void(const std::string&)>& show) {
    std::size_t textWidth = 0;
    std::size_t usageWidth = 0;
    for (const int line : lines) {
        const LineColumns columns = ColumnsOf(entryAt(line));
        textWidth = std::max(textWidth, columns.text.size());
        usageWidth = std::max(usageWidth, columns.usage.size());
    }
    // Many entries share a folder (libraries come in packs of hundreds): each is looked up on
    // the host once.
    std::unordered_map<std::string, std::string> shownFolders;
    for (const int line : lines) {
        const ListedEntry entry = entryAt(line);
        auto [folder, added] = shownFolders.try_emplace(entry.folder);
        if (added) {
            folder->second = ShownPath(entry.folder);
        }
        const LineColumns columns = ColumnsOf(entry);
        std::string text = PaddedRight(columns.text, textWidth);
        if (usageWidth > 0) {
            text += COLUMN_GAP + PaddedLeft(columns.usage, usageWidth);
        }
        if (withGuid) {
            text += COLUMN_GAP + entry.guidText;
        }
        show(TerminalText(text) + COLUMN_GAP + folder->second);
    }
}

std::vector<std::string> ListingLines(const std::vector<ListedEntry>& entries,
                                      const std::vector<int>& lines, bool withGuid) {
    std::vector<std::string> shown;
    ForEachListingLine([&entries](int line) { return entries[line]; }, lines, withGuid,
                       [&shown](const std::string& line) { shown.push_back(line); });
    return shown;
}

int ListContent(ContentKind kind, bool withGuid) {
    const std::size_t count = EntryCount(kind);
    if (count == 0) {
        std::cerr << (kind == ContentKind::Courses ? "No course" : "No library")
                  << " is registered in this prefix." << std::endl;
        return EXIT_DONE;
    }
    std::vector<int> lines(count);
    std::iota(lines.begin(), lines.end(), 0);
    ForEachListingLine([kind](int line) { return ListedEntryAt(kind, line); }, lines, withGuid,
                       [](const std::string& shown) { std::cout << shown << '\n'; });
    return EXIT_DONE;
}

}  // namespace parvane::cli
