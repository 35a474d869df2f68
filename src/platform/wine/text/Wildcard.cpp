#include "platform/wine/text/Wildcard.h"

#include "platform/wine/text/NameCompare.h"

namespace parvane::wine {

namespace {

constexpr char UNKNOWN = 0;
constexpr char YES = 1;
constexpr char NO = 2;

}  // namespace

WildcardPattern::WildcardPattern(std::string_view pattern) {
    items.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (c == '?') {
            items.push_back({Token::QuestionMark, 0});
        } else if (c == '*') {
            items.push_back({next == '.' ? Token::DosStar : Token::Star, 0});
        } else if (c == '.' && (next == '?' || next == '*' || next == '\0')) {
            items.push_back({Token::DosDot, 0});
        } else {
            items.push_back({Token::Literal, FoldedCharacter(c)});
        }
    }
    while (trailingLiterals < items.size() &&
           items[items.size() - 1 - trailingLiterals].token == Token::Literal) {
        ++trailingLiterals;
    }
}

bool WildcardPattern::Matches(std::string_view candidate) const {
    // Most names of a folder fail at their end ("*.tca"); that needs no search.
    if (candidate.size() < trailingLiterals) {
        return false;
    }
    for (std::size_t i = 1; i <= trailingLiterals; ++i) {
        if (FoldedCharacter(candidate[candidate.size() - i]) != items[items.size() - i].character) {
            return false;
        }
    }
    name = candidate;
    lastDot = name.rfind('.');
    known.assign((items.size() + 1) * (name.size() + 1), UNKNOWN);
    return Matches(0, 0);
}

bool WildcardPattern::Matches(std::size_t item, std::size_t at) const {
    char& memo = known[item * (name.size() + 1) + at];
    if (memo != UNKNOWN) {
        return memo == YES;
    }
    const bool atEnd = at == name.size();
    bool result = false;
    if (item == items.size()) {
        result = atEnd;
    } else {
        switch (items[item].token) {
            case Token::Star:
                result = Matches(item + 1, at) || (!atEnd && Matches(item, at + 1));
                break;
            case Token::DosStar:  // anything up to, not past, the name's last dot
                result =
                    Matches(item + 1, at) || (!atEnd && at != lastDot && Matches(item, at + 1));
                break;
            case Token::QuestionMark:  // one character, or none before a dot or at the end
                result =
                    (atEnd || name[at] == '.') ? Matches(item + 1, at) : Matches(item + 1, at + 1);
                break;
            case Token::DosDot:  // a dot, or nothing at the end of the name
                result =
                    atEnd ? Matches(item + 1, at) : name[at] == '.' && Matches(item + 1, at + 1);
                break;
            case Token::Literal:
                result = !atEnd && FoldedCharacter(name[at]) == items[item].character &&
                         Matches(item + 1, at + 1);
                break;
        }
    }
    memo = result ? YES : NO;
    return result;
}

bool MatchesWildcard(std::string_view pattern, std::string_view name) {
    return WildcardPattern(pattern).Matches(name);
}

}  // namespace parvane::wine
