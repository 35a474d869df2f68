#include "app/cli/ContentListing.h"

#include <algorithm>
#include <array>
#include <functional>
#include <iostream>
#include <string_view>
#include <utility>

#include "app/cli/PrefixSession.h"
#include "app/cli/TerminalUserInterface.h"
#include "base/PathText.h"
#include "base/WorkerQueue.h"
#include "catalogue/Catalogue.h"
#include "platform/TextHash.h"
#include "uninstall/UninstallLists.h"

namespace parvane::cli {

namespace {

constexpr std::string_view COLUMN_GAP = "  ";
// A listing of fewer lines than twice this is made on one thread.
constexpr std::size_t LINES_PER_THREAD = 256;
constexpr std::size_t MARKER_WIDTH = 3;
// The listing is written in pieces of about this many bytes.
constexpr std::size_t OUTPUT_PIECE = 1 << 16;

// The entry's views of the record.
template <typename Record>
void ViewOf(const Record& record, bool cloaked, EntryView& entry) {
    entry.guidText = record.guidText;
    entry.name = record.name;
    entry.folder = FolderTextPart(record.filename);
    entry.cloaked = cloaked;
}

std::size_t EntryCount(ContentKind kind) {
    return kind == ContentKind::Courses
               ? GetInstalledCourses().size() + GetCloakedCourses().size()
               : GetInstalledLibraries().size() + GetCloakedLibraries().size();
}

// The uninstall list shows the installed entries, then the cloaked ones. The entry's list line
// is appended to `lineTexts`; its view of it is left to the caller.
void EntryAt(ContentKind kind, int line, EntryView& entry, std::string& lineTexts) {
    const auto index = static_cast<std::size_t>(line);
    if (kind == ContentKind::Courses) {
        const CourseRecord& course = *CourseAtListLine(line);
        const bool cloaked = index >= GetInstalledCourses().size();
        AppendCourseListLine(lineTexts, course, cloaked);
        ViewOf(course, cloaked, entry);
    } else {
        const LibraryRecord& library = *LibraryAtListLine(line);
        const bool cloaked = index >= GetInstalledLibraries().size();
        AppendLibraryListLine(lineTexts, library, cloaked);
        ViewOf(library, cloaked, entry);
    }
}

// The list line before its tab, in `text` (whose room is kept from line to line): the marker
// ("+" for the game's own content) in a column of its own, and a name that begins or ends with
// blanks in quotes, so that the player sees them.
void TextColumnOf(const EntryView& entry, std::string& text) {
    text.assign(entry.line, 0, entry.line.find('\t'));
    if (text.starts_with("+ ") && !text.starts_with("+  ")) {
        text.insert(1, " ");
    }
    const std::string_view name = entry.name;
    const bool blankEdged = !name.empty() && (name.front() == ' ' || name.back() == ' ');
    if (blankEdged && text.compare(MARKER_WIDTH, name.size(), name) == 0) {
        text.insert(MARKER_WIDTH + name.size(), "'");
        text.insert(MARKER_WIDTH, "'");
    }
    text.erase(text.find_last_not_of(' ') + 1);
}

// The usage count after the list line's tab.
std::string_view UsageColumnOf(const EntryView& entry) {
    const std::size_t tab = entry.line.find('\t');
    return tab == std::string::npos ? std::string_view()
                                    : std::string_view(entry.line).substr(tab + 1);
}

// TerminalText appended to `shown`; the common all-ASCII text is the same in both.
void AppendTerminalText(std::string& shown, std::string_view text) {
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        shown.append(text);
    } else {
        shown.append(TerminalText(text));
    }
}

// Folders as the terminal shows them, each looked up on the host once (libraries come in packs
// of hundreds), found by their program text without a copy of it. The lines of one folder
// mostly follow each other: the folder of the line before is tried first.
class ShownFolders {
  public:
    const std::string& Of(std::string_view folder) {
        if (last == nullptr || folder != lastFolder) {
            auto found = shown.find(folder);
            if (found == shown.end()) {
                const std::string programText(folder);
                found = shown.emplace(programText, ShownPath(programText)).first;
            }
            lastFolder = found->first;
            last = &found->second;
        }
        return *last;
    }

  private:
    TextMap<std::string> shown;
    std::string_view lastFolder;
    const std::string* last = nullptr;
};

// The widths of the columns that line up: the list text and the usage count.
struct ColumnWidths {
    std::size_t text = 0;
    std::size_t usage = 0;
};

ColumnWidths WidthsOf(std::span<const EntryView> entries) {
    std::string text;  // its room is kept from line to line
    ColumnWidths widths;
    for (const EntryView& entry : entries) {
        TextColumnOf(entry, text);
        widths.text = std::max(widths.text, text.size());
        widths.usage = std::max(widths.usage, UsageColumnOf(entry).size());
    }
    return widths;
}

void ShowLines(std::span<const EntryView> entries, ColumnWidths widths, bool withGuid,
               ShownFolders& shownFolders, const std::function<void(const std::string&)>& show) {
    std::string text;  // its room is kept from line to line
    std::string shown;
    for (const EntryView& entry : entries) {
        TextColumnOf(entry, text);
        shown.clear();
        AppendTerminalText(shown, text);
        shown.append(widths.text - text.size(), ' ');
        if (widths.usage > 0) {
            const std::string_view usage = UsageColumnOf(entry);
            shown.append(COLUMN_GAP).append(widths.usage - usage.size(), ' ');
            AppendTerminalText(shown, usage);
        }
        if (withGuid) {
            shown.append(COLUMN_GAP);
            AppendTerminalText(shown, entry.guidText);
        }
        shown.append(COLUMN_GAP).append(shownFolders.Of(entry.folder));
        show(shown);
    }
}

// Consecutive entries of a listing: their views, their list lines one after the other in one
// text, the widths of their columns, and their folders as the terminal shows them.
struct ListPart {
    std::vector<EntryView> entries;
    std::string lineTexts;
    ColumnWidths widths;
    ShownFolders shownFolders;
};

// Reads the catalogue and the host's folders only, and may run beside another part's making.
void MakeListPart(ContentKind kind, std::size_t first, std::size_t count, ListPart& part) {
    part.entries.resize(count);
    std::vector<std::size_t> lineEnds(count);
    for (std::size_t i = 0; i < count; ++i) {
        EntryAt(kind, static_cast<int>(first + i), part.entries[i], part.lineTexts);
        lineEnds[i] = part.lineTexts.size();
    }
    // The views of the lines are taken once the text no longer grows.
    for (std::size_t i = 0, start = 0; i < count; start = lineEnds[i++]) {
        part.entries[i].line = std::string_view(part.lineTexts).substr(start, lineEnds[i] - start);
    }
    part.widths = WidthsOf(part.entries);
    // Each folder is looked up on the host here, beside the other part's: a thousand courses
    // lie in a thousand folders.
    for (const EntryView& entry : part.entries) {
        part.shownFolders.Of(entry.folder);
    }
}

}  // namespace

std::vector<ListedEntry> ListedEntries(ContentKind kind) {
    std::vector<ListedEntry> entries;
    entries.reserve(EntryCount(kind));
    EntryView entry;
    for (std::size_t line = 0; line < entries.capacity(); ++line) {
        std::string lineText;
        EntryAt(kind, static_cast<int>(line), entry, lineText);
        entries.push_back({std::move(lineText), std::string(entry.guidText),
                           std::string(entry.name), std::string(entry.folder), entry.cloaked});
    }
    return entries;
}

void ForEachListingLine(std::span<const EntryView> entries, bool withGuid,
                        const std::function<void(const std::string&)>& show) {
    ShownFolders shownFolders;
    ShowLines(entries, WidthsOf(entries), withGuid, shownFolders, show);
}

std::vector<std::string> ListingLines(const std::vector<ListedEntry>& entries,
                                      const std::vector<int>& lines, bool withGuid) {
    std::vector<EntryView> views;
    views.reserve(lines.size());
    for (const int line : lines) {
        const ListedEntry& listed = entries[static_cast<std::size_t>(line)];
        views.push_back({listed.line, listed.guidText, listed.name, listed.folder, listed.cloaked});
    }
    std::vector<std::string> shown;
    ForEachListingLine(views, withGuid,
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
    // The list line of each entry is made once: the widths of the columns need them all. A
    // long listing's lines are made in two halves at once, the second on a thread of its own:
    // making them only reads the catalogue, once the usage counts are built.
    if (kind == ContentKind::Libraries) {
        UpdateReferenceCounts();
    }
    const std::size_t half = count >= 2 * LINES_PER_THREAD ? count / 2 : count;
    std::array<ListPart, 2> parts;
    WorkerQueue other;
    if (half < count) {
        other.Post([&] { MakeListPart(kind, half, count - half, parts[1]); });
    }
    MakeListPart(kind, 0, half, parts[0]);
    other.Wait();
    const ColumnWidths widths = {std::max(parts[0].widths.text, parts[1].widths.text),
                                 std::max(parts[0].widths.usage, parts[1].widths.usage)};
    std::string output;
    for (ListPart& part : parts) {
        ShowLines(
            part.entries, widths, withGuid, part.shownFolders, [&output](const std::string& shown) {
                output.append(shown).push_back('\n');
                if (output.size() >= OUTPUT_PIECE) {
                    std::cout.write(output.data(), static_cast<std::streamsize>(output.size()));
                    output.clear();
                }
            });
    }
    std::cout.write(output.data(), static_cast<std::streamsize>(output.size()));
    return EXIT_DONE;
}

}  // namespace parvane::cli
