#include "app/cli/EntryMatching.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "platform/AsciiCase.h"

namespace parvane::cli {

namespace {

using LinesByText = std::unordered_map<std::string, std::vector<int>>;

// A GUID in braces and capitals, however it was typed or the registry spells it.
std::string GuidKey(const std::string& text) {
    const std::string upper = ToUpperAscii(text);
    return upper.starts_with('{') ? upper : "{" + upper + "}";
}

// A name as the player may copy it from a listing: in any case, its trailing blanks unseen.
std::string NameKey(const std::string& text) {
    const std::string upper = ToUpperAscii(text);
    return upper.substr(0, upper.find_last_not_of(" \t") + 1);
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

std::vector<ArgumentMatch> MatchArguments(const std::vector<ListedEntry>& entries,
                                          const std::vector<std::string>& arguments) {
    LinesByText byGuid;
    LinesByText byName;
    for (std::size_t line = 0; line < entries.size(); ++line) {
        byGuid[GuidKey(entries[line].guidText)].push_back(static_cast<int>(line));
        byName[NameKey(entries[line].name)].push_back(static_cast<int>(line));
    }
    std::vector<ArgumentMatch> matches;
    for (const std::string& argument : arguments) {
        ArgumentMatch match{argument, {}};
        std::string text = argument;
        const std::optional<bool> cloaked = TakeStorePrefix(text);
        const std::string nameKey = NameKey(text);
        const auto guid = byGuid.find(GuidKey(text));
        const auto name = byName.find(nameKey);
        if (nameKey.empty()) {
            // names nothing
        } else if (guid != byGuid.end()) {
            match.lines = LinesIn(guid->second, entries, cloaked);
        } else if (name != byName.end() && !cloaked) {
            match.lines = name->second;
        }
        matches.push_back(std::move(match));
    }
    return matches;
}

}  // namespace parvane::cli
