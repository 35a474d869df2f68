#pragma once

// The text of the properties file: one "key = value" line per entry.

#include <string>
#include <string_view>
#include <vector>

#include "properties/Properties.h"

namespace parvane {

// The entries of `text` in file order. A line ends at LF, a CR before it (or before the end of
// the text) included; the last line needs no LF. Empty lines, lines starting with '#' and
// lines without '=' are skipped. A line is split at its first '=' and both halves are
// trimmed. A line whose key or value is longer than an entry holds is not taken: its number
// (from 1) goes into `refusedLines`.
std::vector<PropertyEntry> ParsePropertyText(std::string_view text, std::vector<int>& refusedLines);

// "key = value" lines with CRLF ends, as the Windows runtime writes text. A key starting with
// '#' is written after a blank, so that it is not read back as a comment.
std::string FormatPropertyText(const std::vector<PropertyEntry>& entries);

}  // namespace parvane
