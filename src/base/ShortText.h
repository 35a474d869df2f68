#pragma once

// Texts that must fit a fixed capacity (a list line, a finding, a question's list of names) are
// shortened visibly, never cut: the middle of a text that is too long gives way to "...", so
// that its start and its end (a path's file name) stay readable.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace parvane {

inline constexpr std::string_view ELLIPSIS = "...";

// `text` itself when it has at most `maxLength` characters; otherwise its start, "..." and its
// end, `maxLength` characters in all.
std::string ShortenWithEllipsis(std::string_view text, std::size_t maxLength);

// `format` with each "%s" replaced by the next of `arguments`. When the result would be longer
// than `maxLength`, the longest arguments are shortened (to one common length) until it fits;
// shorter arguments stay whole.
std::string FormatWithin(std::size_t maxLength, std::string_view format,
                         std::vector<std::string> arguments);

}  // namespace parvane
