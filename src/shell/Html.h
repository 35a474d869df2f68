#pragma once

// Opening the program's HTML documents (the help page, the missing-libraries report) in the
// web browser registered for .htm files.

#include <string>

namespace parvane {

inline constexpr const char* HELP_CONTENTS_DOCUMENT = "Parvane.htm";
inline constexpr const char* MISSING_LIBRARIES_DOCUMENT = "MissingLibraries.htm";

// The program path of a registered open command: the text between its leading double quote
// and the next one (empty when there is no closing quote), else the command up to its first
// blank.
std::string HandlerPathOfCommand(const std::string& command);

// The path of the program registered to open .htm files, empty when there is none. Once
// found, it is kept for the rest of the run.
std::string FindHtmlHandler();
// Forgets the handler found, so that the next FindHtmlHandler reads the registry again.
void ForgetHtmlHandler();

// Starts the .htm handler on `documentName` in the program's folder; true when it started.
// A document that is not there is reported with the path where it was looked for, and so is a
// command too long to be run; nothing else is reported (no handler, or one that fails).
bool OpenHtmlDocument(const std::string& documentName);

void ShowHelpContents();
void ShowMissingLibrariesReport();

}  // namespace parvane
