#include "app/cli/UninstallCommand.h"

#include <algorithm>

#include "app/cli/EntryMatching.h"
#include "app/cli/PrefixSession.h"
#include "app/cli/TerminalUserInterface.h"
#include "platform/wine/text/Codepage.h"
#include "uninstall/UninstallLists.h"

namespace parvane::cli {

namespace {

struct KindWords {
    const char* one;
    const char* many;
};

KindWords WordsOf(ContentKind kind) {
    return kind == ContentKind::Courses ? KindWords{"course", "courses"}
                                        : KindWords{"library", "libraries"};
}

// The arguments as the program spells names (code page 1252); one that cannot be spelled so
// names nothing.
std::vector<std::string> ProgramTexts(const std::vector<std::string>& arguments) {
    std::vector<std::string> texts;
    for (const std::string& argument : arguments) {
        std::string text;
        texts.push_back(wine::Utf8ToCp1252(argument, text) ? text : std::string());
    }
    return texts;
}

// False, after a message, when the argument names no entry or several.
bool NamesOneEntry(const ArgumentMatch& match, const std::string& typed,
                   const std::vector<ListedEntry>& entries, KindWords words) {
    if (match.lines.empty()) {
        ShowTerminalError("No registered " + std::string(words.one) + " is named '" + typed +
                          "' or has that GUID; 'parvane list " + words.many + "' shows them all.");
        return false;
    }
    if (match.lines.size() > 1) {
        const std::string& guid = entries[match.lines.front()].guidText;
        const bool oneGuid = std::all_of(match.lines.begin(), match.lines.end(),
                                         [&](int line) { return entries[line].guidText == guid; });
        const std::string how =
            oneGuid ? "as installed:" + guid + " or cloaked:" + guid : "by its GUID";
        std::string message = "'" + typed + "' names " + std::to_string(match.lines.size()) + " " +
                              words.many + "; name the one to uninstall " + how + ":";
        for (const std::string& line : ListingLines(entries, match.lines, true)) {
            message += "\n" + line;
        }
        ShowTerminalError(message);
        return false;
    }
    return true;
}

}  // namespace

int UninstallEntries(ContentKind kind, const std::vector<std::string>& arguments) {
    const std::vector<ListedEntry> entries = ListedEntries(kind);
    const std::vector<ArgumentMatch> matches = MatchArguments(entries, ProgramTexts(arguments));
    std::vector<int> lines;
    bool allNamed = true;
    for (std::size_t i = 0; i < matches.size(); ++i) {
        if (NamesOneEntry(matches[i], arguments[i], entries, WordsOf(kind))) {
            lines.push_back(matches[i].lines.front());
        } else {
            allNamed = false;
        }
    }
    if (!allNamed) {
        ShowTerminalError("Nothing was uninstalled.");
        return EXIT_NOT_DONE;
    }
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    const int removed =
        kind == ContentKind::Courses ? UninstallCoursesAt(lines) : UninstallLibrariesAt(lines);
    return removed == static_cast<int>(lines.size()) ? EXIT_DONE : EXIT_NOT_DONE;
}

}  // namespace parvane::cli
