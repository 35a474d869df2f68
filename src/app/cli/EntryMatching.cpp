#include "app/cli/EntryMatching.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/AsciiCase.h"
#include "platform/TextHash.h"

namespace parvane::cli {

namespace {

void FoldToUpper(std::string& text) {
    std::transform(text.begin(), text.end(), text.begin(), UpperAscii);
}

// A GUID in braces and capitals, however it was typed or the registry spells it, into `key`.
void GuidKeyInto(std::string_view text, std::string& key) {
    const bool braced = text.starts_with('{');
    key.assign(braced ? "" : "{").append(text).append(braced ? "" : "}");
    FoldToUpper(key);
}

// A name as the player may copy it from a listing: in any case, its trailing blanks unseen.
void NameKeyInto(std::string_view text, std::string& key) {
    key.assign(text.substr(0, text.find_last_not_of(" \t") + 1));
    FoldToUpper(key);
}

// The store an argument names with its prefix, if any; the prefix is taken off.
std::optional<bool> TakeStorePrefix(std::string& argument) {
    for (const auto& [prefix, cloaked] : {std::pair{"installed:", false}, {"cloaked:", true}}) {
        if (StartsWithNoCase(argument, prefix)) {
            argument.erase(0, std::string_view(prefix).size());
            return cloaked;
        }
    }
    return std::nullopt;
}

std::vector<int> LinesIn(const std::vector<int>& lines, const std::vector<ListedEntry>& entries,
                         std::optional<bool> cloaked) {
    std::vector<int> kept;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(kept), [&](int line) {
        return !cloaked || entries[static_cast<std::size_t>(line)].cloaked == *cloaked;
    });
    return kept;
}

}  // namespace

// The arguments are few and the entries may be tens of thousands: each entry's keys are looked
// up among the arguments', without an index of the entries.
std::vector<ArgumentMatch> MatchArguments(const std::vector<ListedEntry>& entries,
                                          const std::vector<std::string>& arguments) {
    std::vector<std::optional<bool>> stores(arguments.size());
    std::vector<std::string> nameKeys(arguments.size());
    TextMap<std::vector<std::size_t>> byGuid;
    TextMap<std::vector<std::size_t>> byName;
    std::string key;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string text = arguments[i];
        stores[i] = TakeStorePrefix(text);
        NameKeyInto(text, nameKeys[i]);
        byName[nameKeys[i]].push_back(i);
        GuidKeyInto(text, key);
        byGuid[key].push_back(i);
    }
    std::vector<std::vector<int>> guidLines(arguments.size());
    std::vector<std::vector<int>> nameLines(arguments.size());
    for (std::size_t line = 0; line < entries.size(); ++line) {
        GuidKeyInto(entries[line].guidText, key);
        if (const auto found = byGuid.find(key); found != byGuid.end()) {
            for (const std::size_t i : found->second) {
                guidLines[i].push_back(static_cast<int>(line));
            }
        }
        NameKeyInto(entries[line].name, key);
        if (const auto found = byName.find(key); found != byName.end()) {
            for (const std::size_t i : found->second) {
                nameLines[i].push_back(static_cast<int>(line));
            }
        }
    }
    std::vector<ArgumentMatch> matches;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        ArgumentMatch match{arguments[i], {}};
        if (nameKeys[i].empty()) {
            // names nothing
        } else if (!guidLines[i].empty()) {
            match.lines = LinesIn(guidLines[i], entries, stores[i]);
        } else if (!nameLines[i].empty() && !stores[i]) {
            match.lines = std::move(nameLines[i]);
        }
        matches.push_back(std::move(match));
    }
    return matches;
}

}  // namespace parvane::cli
