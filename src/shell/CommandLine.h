#pragma once

// Archive paths from the program's command line or from the open dialog's selection, into the
// archive queue.

#include <optional>
#include <string>
#include <string_view>

namespace parvane {

// A scan over an argument text: where the next token starts.
struct ArgumentScan {
    std::string text;
    std::size_t position = 0;
};

// The next argument of the scan: blanks separate arguments; a double quote outside quotes
// starts a quoted run (blanks copied) that the next double quote ends, together with the
// token; quotes are not copied; separators that would end an empty token are skipped. None at
// the end of the text.
std::optional<std::string> NextArgumentToken(ArgumentScan& scan);

// What follows the first word of a command line (the program's path, possibly quoted) and the
// blanks after it.
std::string_view CommandLineArguments(std::string_view commandLine);

// Replaces the queue with the archive paths found in `text`: the whole command line at
// start-up, or the open dialog's selection. A text naming an existing folder is a selection of
// several files (the folder, NUL, each name, NUL, a final NUL); one naming an existing file is
// that file (unless it is the program itself); otherwise each argument is an archive path,
// taken in its long form when it exists. False when a path was refused (longer than 255
// characters, with an Error box); the paths before it stay queued.
bool QueueArchivesFromText(const std::string& text);

}  // namespace parvane
