#include "app/cli/EntryMatching.h"

#include <unordered_map>

#include "base/AsciiCase.h"

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
        const auto guid = byGuid.find(GuidKey(argument));
        const auto name = byName.find(NameKey(argument));
        ArgumentMatch match{argument, {}};
        if (guid != byGuid.end())
            match.lines = guid->second;
        else if (name != byName.end())
            match.lines = name->second;
        matches.push_back(std::move(match));
    }
    return matches;
}

}  // namespace parvane::cli
