#include "app/cli/VdfText.h"

#include <algorithm>
#include <optional>

#include "platform/AsciiCase.h"

namespace parvane::cli {

namespace {

class VdfReader {
  public:
    explicit VdfReader(std::string_view vdfText) : text(vdfText) {}

    // The values of the block that ends at `}` (nested) or at the end of the text (outermost).
    bool ReadBlock(std::vector<std::string>& keys, std::vector<VdfValue>& values, bool nested) {
        for (;;) {
            SkipBlanksAndComments();
            if (at == text.size()) {
                return !nested;
            }
            if (text[at] == '}') {
                ++at;
                return nested;
            }
            std::optional<std::string> key = ReadToken();
            if (!key) {
                return false;
            }
            SkipBlanksAndComments();
            if (at < text.size() && text[at] == '{') {
                ++at;
                keys.push_back(std::move(*key));
                if (!ReadBlock(keys, values, true)) {
                    return false;
                }
                keys.pop_back();
            } else {
                std::optional<std::string> value = ReadToken();
                if (!value) {
                    return false;
                }
                values.push_back({keys, std::move(*value)});
                values.back().keys.push_back(std::move(*key));
            }
            SkipCondition();
        }
    }

  private:
    void SkipBlanksAndComments() {
        while (at < text.size()) {
            if (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n') {
                ++at;
            } else if (text.substr(at, 2) == "//") {
                const std::size_t end = text.find('\n', at);
                at = end == std::string_view::npos ? text.size() : end;
            } else {
                return;
            }
        }
    }

    // A condition in brackets on the same line, which only Steam's own platforms weigh.
    void SkipCondition() {
        std::size_t next = at;
        while (next < text.size() && (text[next] == ' ' || text[next] == '\t')) {
            ++next;
        }
        if (next < text.size() && text[next] == '[') {
            const std::size_t end = text.find(']', next);
            at = end == std::string_view::npos ? text.size() : end + 1;
        }
    }

    std::optional<std::string> ReadToken() {
        if (at == text.size() || text[at] == '{' || text[at] == '}') {
            return std::nullopt;
        }
        return text[at] == '"' ? ReadQuoted() : ReadBare();
    }

    std::optional<std::string> ReadQuoted() {
        std::string token;
        for (++at; at < text.size(); ++at) {
            char c = text[at];
            if (c == '"') {
                ++at;
                return token;
            }
            if (c == '\\' && at + 1 < text.size()) {
                c = text[++at];
                c = c == 'n' ? '\n' : c == 't' ? '\t' : c;
            }
            token += c;
        }
        return std::nullopt;  // the closing quote is missing
    }

    std::string ReadBare() {
        const std::size_t start = at;
        while (at < text.size() &&
               std::string_view(" \t\r\n\"{}").find(text[at]) == std::string_view::npos) {
            ++at;
        }
        return std::string(text.substr(start, at - start));
    }

    std::string_view text;
    std::size_t at = 0;
};

bool IsNumber(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool ReadVdfValues(std::string_view text, std::vector<VdfValue>& values) {
    values.clear();
    std::vector<std::string> keys;
    return VdfReader(text).ReadBlock(keys, values, false);
}

std::vector<std::string> SteamLibraryPaths(const std::vector<VdfValue>& values) {
    std::vector<std::string> paths;
    for (const VdfValue& value : values) {
        const std::vector<std::string>& keys = value.keys;
        if (keys.empty() || ToUpperAscii(keys[0]) != "LIBRARYFOLDERS" || value.value.empty()) {
            continue;
        }
        const bool newer = keys.size() == 3 && IsNumber(keys[1]) && ToUpperAscii(keys[2]) == "PATH";
        const bool older = keys.size() == 2 && IsNumber(keys[1]);
        if (newer || older) {
            paths.push_back(value.value);
        }
    }
    return paths;
}

}  // namespace parvane::cli
