#pragma once

// Opening the program's HTML documents (the help page, the missing-libraries report) in the
// web browser registered for .htm files.

#include <string>

namespace parvane {

inline constexpr const char* HELP_CONTENTS_DOCUMENT = "Parvane.htm";

// The program path of a registered open command: the text between its leading double quote
// and the next one (empty when there is no closing quote), else the command up to its first
// blank.
std::string HandlerPathOfCommand(const std::string& command);

// The path of the program registered to open .htm files, empty when there is none. Once
// found, it is kept for the rest of the run.
std::string FindHtmlHandler();

// Starts the .htm handler on the document at `path`; true when it started. A document that is
// not there is reported with its path, and so is a command too long to be run; nothing else is
// reported (no handler, or one that fails): the terminal program names the report instead.
bool OpenHtmlFile(const std::string& path);
// The same for the document `documentName` in the program's folder.
bool OpenHtmlDocument(const std::string& documentName);

// Opens Parvane.htm; a page that cannot be opened is reported with its path and the reason.
void ShowHelpContents();
// Opens the missing-libraries report that was written at `path`.
void ShowMissingLibrariesReport(const std::string& path);

}  // namespace parvane
