#include "platform/wine/Wildcard.h"

#include <vector>

#include "platform/wine/Codepage.h"

namespace parvane::wine {

namespace {

// The pattern's characters after Windows has turned them into the file system's DOS
// wildcards, as FsRtlIsNameInExpression reads them.
enum class Token { Literal, Star, DosStar, QuestionMark, DosDot };

struct PatternItem {
    Token token = Token::Literal;
    char16_t character = 0;  // folded, for literals
};

std::vector<PatternItem> Translate(const std::u16string& pattern) {
    std::vector<PatternItem> items;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i];
        const char16_t next = i + 1 < pattern.size() ? pattern[i + 1] : u'\0';
        if (c == u'?') {
            items.push_back({Token::QuestionMark, 0});
        } else if (c == u'*') {
            items.push_back({next == u'.' ? Token::DosStar : Token::Star, 0});
        } else if (c == u'.' && (next == u'?' || next == u'*' || next == u'\0')) {
            items.push_back({Token::DosDot, 0});
        } else {
            items.push_back({Token::Literal, FoldCase(c)});
        }
    }
    return items;
}

class Matcher {
  public:
    Matcher(std::vector<PatternItem> pattern, std::u16string name)
        : items(std::move(pattern)),
          text(std::move(name)),
          lastDot(text.rfind(u'.')),
          known((items.size() + 1) * (text.size() + 1), Unknown) {}

    bool Matches(std::size_t p, std::size_t n) {
        char& memo = known[p * (text.size() + 1) + n];
        if (memo == Unknown) {
            memo = Compute(p, n) ? Yes : No;
        }
        return memo == Yes;
    }

  private:
    static constexpr char Unknown = 0;
    static constexpr char Yes = 1;
    static constexpr char No = 2;

    bool Compute(std::size_t p, std::size_t n) {
        const bool atEnd = n == text.size();
        if (p == items.size()) {
            return atEnd;
        }
        const PatternItem& item = items[p];
        switch (item.token) {
            case Token::Star:
                return Matches(p + 1, n) || (!atEnd && Matches(p, n + 1));
            case Token::DosStar:  // anything up to, not past, the name's last dot
                return Matches(p + 1, n) || (!atEnd && n != lastDot && Matches(p, n + 1));
            case Token::QuestionMark:  // one character, or none before a dot or at the end
                if (atEnd || text[n] == u'.') {
                    return Matches(p + 1, n);
                }
                return Matches(p + 1, n + 1);
            case Token::DosDot:  // a dot, or nothing at the end of the name
                if (atEnd) {
                    return Matches(p + 1, n);
                }
                return text[n] == u'.' && Matches(p + 1, n + 1);
            case Token::Literal:
                return !atEnd && FoldCase(text[n]) == item.character && Matches(p + 1, n + 1);
        }
        return false;
    }

    std::vector<PatternItem> items;
    std::u16string text;
    std::size_t lastDot;
    std::vector<char> known;
};

}  // namespace

bool MatchesWildcard(const std::string& pattern, const std::string& name) {
    Matcher matcher(Translate(Cp1252ToUtf16(pattern)), Cp1252ToUtf16(name));
    return matcher.Matches(0, 0);
}

}  // namespace parvane::wine
