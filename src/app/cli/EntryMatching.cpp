#include "app/cli/EntryMatching.h"

#include <unordered_map>

#include "base/AsciiCase.h"

namespace parvane::cli {

namespace {

using LinesByText = std::unordered_map<std::string, std::vector<int>>;

// A GUID as the registry spells it: in braces.
std::string GuidKey(const std::string& argument) {
    return argument.starts_with('{') ? argument : "{" + argument + "}";
}

}  // namespace

std::vector<ArgumentMatch> MatchArguments(const std::vector<ListedEntry>& entries,
                                          const std::vector<std::string>& arguments) {
    LinesByText byGuid;
    LinesByText byName;
    for (std::size_t line = 0; line < entries.size(); ++line) {
        byGuid[entries[line].guidText].push_back(static_cast<int>(line));
        byName[ToUpperAscii(entries[line].name)].push_back(static_cast<int>(line));
    }
    std::vector<ArgumentMatch> matches;
    for (const std::string& argument : arguments) {
        const auto guid = byGuid.find(GuidKey(argument));
        const auto name = byName.find(ToUpperAscii(argument));
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
