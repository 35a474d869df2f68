#include "properties/PropertyFileFormat.h"

namespace parvane {

namespace {

std::string_view WithoutLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

}  // namespace

std::vector<PropertyEntry> ParsePropertyText(std::string_view text,
                                             std::vector<int>& refusedLines) {
    std::vector<PropertyEntry> entries;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t lineFeed = text.find('\n');
        const std::string_view line = WithoutLineEnd(text.substr(0, lineFeed));
        text.remove_prefix(lineFeed == std::string_view::npos ? text.size() : lineFeed + 1);

        const std::size_t equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string_view::npos) {
            continue;
        }
        PropertyEntry entry{TrimPropertyText(line.substr(0, equals)),
                            TrimPropertyText(line.substr(equals + 1))};
        if (entry.key.size() > MAX_PROPERTY_KEY_LENGTH ||
            entry.value.size() > MAX_PROPERTY_VALUE_LENGTH) {
            refusedLines.push_back(lineNumber);
            continue;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string FormatPropertyText(const std::vector<PropertyEntry>& entries) {
    std::string text;
    for (const PropertyEntry& entry : entries) {
        if (!entry.key.empty() && entry.key.front() == '#') {
            text += ' ';
        }
        text += entry.key;
        text += " = ";
        text += entry.value;
        text += "\r\n";
    }
    return text;
}

}  // namespace parvane
