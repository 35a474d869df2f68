#include "app/cli/VerifyCommand.h"

#include <iostream>

#include "analysis/PlacementCheck.h"
#include "app/cli/ContentListing.h"
#include "app/cli/EntryMatching.h"
#include "app/cli/JsonDocuments.h"
#include "app/cli/PrefixSession.h"
#include "app/cli/TerminalUserInterface.h"
#include "platform/wine/text/Codepage.h"

namespace parvane::cli {

namespace {

// The GUIDs the arguments name among courses and libraries alike; false, after a message, when
// one names no entry or several.
bool NamedGuids(const std::vector<std::string>& arguments, std::vector<std::string>& guids) {
    std::vector<ListedEntry> entries = ListedEntries(ContentKind::Courses);
    for (ListedEntry& entry : ListedEntries(ContentKind::Libraries)) {
        entries.push_back(std::move(entry));
    }
    std::vector<std::string> texts;
    for (const std::string& argument : arguments) {
        std::string text;
        texts.push_back(wine::Utf8ToCp1252(argument, text) ? text : std::string());
    }
    bool named = true;
    const std::vector<ArgumentMatch> matches = MatchArguments(entries, texts);
    for (std::size_t i = 0; i < matches.size(); ++i) {
        if (matches[i].lines.size() == 1) {
            guids.push_back(entries[matches[i].lines.front()].guidText);
            continue;
        }
        std::string message = matches[i].lines.empty()
                                  ? "No registered course or library is named '" + arguments[i] +
                                        "' or has that GUID."
                                  : "'" + arguments[i] +
                                        "' names several entries; name one by "
                                        "its GUID:";
        for (const std::string& line : ListingLines(entries, matches[i].lines, true)) {
            message += "\n" + line;
        }
        ShowTerminalError(message);
        named = false;
    }
    return named;
}

}  // namespace

int VerifyEntries(const std::vector<std::string>& arguments, bool asJson) {
    std::vector<std::string> guids;
    if (!NamedGuids(arguments, guids)) {
        return EXIT_NOT_DONE;
    }
    const std::vector<EntryCheck> checks = CheckPlacedFiles(guids);
    if (asJson) {
        PrintDocument(VerificationDocument(checks));
    } else {
        for (const std::string& line : PlacementCheckLines(checks)) {
            std::cout << ShownText(line) << '\n';
        }
        std::cout.flush();
    }
    return AnyFileProblem(checks) ? EXIT_NOT_DONE : EXIT_DONE;
}

}  // namespace parvane::cli
