#pragma once

// FindFirstFileA's wildcard matching: `*` and `?` with the old DOS rules that Windows keeps,
// ignoring case as Windows compares names. "*.*" matches every name, with a dot or without;
// "*." matches names without an extension; a `?` before a dot or at the end also matches
// nothing ("a?.txt" matches "a.txt").

#include <string>
#include <string_view>
#include <vector>

namespace parvane::wine {

// A pattern read once and matched against many names (code page 1252).
class WildcardPattern {
  public:
    explicit WildcardPattern(std::string_view pattern);
    bool Matches(std::string_view name) const;

  private:
    // The pattern's characters after Windows has turned them into the file system's DOS
    // wildcards, as FsRtlIsNameInExpression reads them.
    enum class Token { Literal, Star, DosStar, QuestionMark, DosDot };
    struct Item {
        Token token = Token::Literal;
        char16_t character = 0;  // folded, for literals
    };

    bool Matches(std::size_t item, std::size_t at) const;

    std::vector<Item> items;
    // How many literals end the pattern: a name that does not end with them cannot match.
    std::size_t trailingLiterals = 0;
    // The name being matched and what is known of its positions; reused between names.
    mutable std::string_view name;
    mutable std::size_t lastDot = 0;
    mutable std::vector<char> known;
};

bool MatchesWildcard(std::string_view pattern, std::string_view name);

}  // namespace parvane::wine
