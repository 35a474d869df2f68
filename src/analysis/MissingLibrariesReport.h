#pragma once

// The HTML page that lists the libraries a course was installed without, written for the
// user's web browser.

#include <string>
#include <string_view>
#include <vector>

namespace parvane {

inline constexpr const char* MISSING_LIBRARIES_REPORT_NAME = "MissingLibraries.htm";

// The report's lines end as text files do on the platform the program is built for.
#if defined(_WIN32)
inline constexpr std::string_view REPORT_LINE_END = "\r\n";
#else
inline constexpr std::string_view REPORT_LINE_END = "\n";
#endif

// The text with &, <, > and " written as character references.
std::string EscapeHtml(std::string_view text);

// The whole page, the names escaped.
std::string MissingLibrariesReportText(const std::string& courseName,
                                       const std::vector<std::string>& missingLibraries);

// The folder the report is written to (a Windows path). Empty, the default, is the program's
// folder; a front end that keeps its files elsewhere names its own.
void SetReportFolder(std::string folder);

// Writes the page into the report folder, replacing an earlier report, or into the user's
// temporary folder when that cannot be written. The path written; empty, after an Error box
// that names each path tried and its error, when neither can be written (an earlier report is
// then never shown: it describes another course).
std::string WriteMissingLibrariesReport(const std::string& courseName,
                                        const std::vector<std::string>& missingLibraries);

}  // namespace parvane
