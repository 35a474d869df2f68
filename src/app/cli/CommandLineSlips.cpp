#include "app/cli/CommandLineSlips.h"

#include <algorithm>
#include <limits>

#include "platform/AsciiCase.h"

namespace parvane::cli {

namespace {

// Optimal string alignment distance: insertions, deletions, changes and swaps of two
// neighbouring letters, ignoring case.
std::size_t EditDistance(const std::string& a, const std::string& b) {
    const std::string x = ToUpperAscii(a);
    const std::string y = ToUpperAscii(b);
    std::vector<std::vector<std::size_t>> d(x.size() + 1, std::vector<std::size_t>(y.size() + 1));
    for (std::size_t i = 0; i <= x.size(); ++i) {
        d[i][0] = i;
    }
    for (std::size_t j = 0; j <= y.size(); ++j) {
        d[0][j] = j;
    }
    for (std::size_t i = 1; i <= x.size(); ++i) {
        for (std::size_t j = 1; j <= y.size(); ++j) {
            const std::size_t change = x[i - 1] == y[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[x.size()][y.size()];
}

bool Contains(const std::vector<std::string>& words, const std::string& word) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

std::string Suggestion(const std::string& word, const std::vector<std::string>& candidates) {
    const std::string nearest = NearestWord(word, candidates);
    return nearest.empty() ? "" : "; did you mean '" + nearest + "'?";
}

}  // namespace

std::string NearestWord(const std::string& word, const std::vector<std::string>& candidates) {
    const std::size_t allowed = std::max<std::size_t>(1, word.size() / 4);
    std::size_t best = std::numeric_limits<std::size_t>::max();
    std::string nearest;
    for (const std::string& candidate : candidates) {
        const std::size_t distance = EditDistance(word, candidate);
        if (distance <= allowed && distance < best) {
            best = distance;
            nearest = candidate;
        }
    }
    return nearest;
}

std::string FindSlip(const std::vector<std::string>& arguments, const KnownWords& known) {
    std::vector<std::string> options = known.options;
    options.insert(options.end(), known.valueOptions.begin(), known.valueOptions.end());
    bool commandSeen = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") {
            break;
        }
        if (argument.starts_with("-")) {
            const std::string name = argument.substr(0, argument.find('='));
            if (!Contains(options, name) && name != "-h" && name != "--help") {
                return "'" + name + "' is not an option" + Suggestion(name, options);
            }
            if (Contains(known.valueOptions, name) && name == argument) {
                ++i;
            }
        } else if (!commandSeen) {
            if (!Contains(known.commands, argument)) {
                return "'" + argument + "' is not a command" + Suggestion(argument, known.commands);
            }
            commandSeen = true;
        }
    }
    return {};
}

}  // namespace parvane::cli
