#include "analysis/MissingLibrariesReport.h"

#include <array>
#include <memory>
#include <utility>

#include "base/Messages.h"
#include "base/PathText.h"
#include "base/ProgramFolder.h"
#include "platform/ErrorText.h"
#include "platform/Machine.h"

namespace parvane {

namespace {

// The page, line by line; the course name goes into line 19, the list of items in front of
// line 22.
constexpr std::array<const char*, 26> TEMPLATE_LINES = {
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" "
    "\"http://www.w3.org/TR/html4/strict.dtd\">",
    "<html>",
    "  <head>",
    "    <meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">",
    "    <title>Parvane missing libraries report</title>",
    "    <style type=\"text/css\">",
    "      body { font-family: Verdana, Tahoma, Arial, Serif; color: #202020; font-size: 8pt; }",
    "      a:link { text-decoration: none; color: #6060f0; }",
    "      a:visited { text-decoration: none; color: #6060f0; }",
    "      a:hover { text-decoration: underline; color: #6060f0; }",
    "      td { font-weight: normal; font-size: 8pt; }",
    "      h1 { font-weight: bold; font-size: 20pt; }",
    "      h3 { font-weight: bold; font-size: 12pt; }",
    "      ul { color: #202020; }",
    "    </style>",
    "  </head>",
    "  <body>",
    "    <h2>Parvane missing libraries report</h2>",
    "    <p>While trying to install the course &quot;",  // the name, then the rest of the line
    "    the following required libraries were missing:</p>",
    "    <ul>",
    "    </ul>",
    "    <p>You need to locate the above libraries and install them before the",
    "    course will be playable.</p>",
    "  </body>",
    "</html>",
};
constexpr std::size_t COURSE_NAME_LINE = 18;
constexpr std::size_t LIST_END_LINE = 21;

std::string& ReportFolder() {
    static std::string folder;
    return folder;
}

Win32Error WriteWholeFile(const std::string& path, const std::string& text) {
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> file = TheMachine().OpenFile(path, FileMode::Write, error);
    if (file == nullptr) {
        return error;
    }
    const bool written = file->Write(text.data(), text.size()) == text.size();
    const Win32Error writeError = written ? ERR_SUCCESS : file->Error();
    const Win32Error closeError = file->Close();
    error = writeError != ERR_SUCCESS ? writeError : closeError;
    if (error != ERR_SUCCESS) {
        TheMachine().RemoveFile(path);  // half a report is no report
    }
    return error;
}

// The report folder, then the temporary folder; each with its report path.
std::vector<std::string> ReportPaths() {
    std::vector<std::string> paths;
    const std::string folder = ReportFolder().empty() ? GetProgramFolder() : ReportFolder();
    if (!folder.empty()) {
        paths.push_back(JoinPath(folder, MISSING_LIBRARIES_REPORT_NAME));
    }
    std::string temporary;
    if (TheMachine().TempPath(temporary) == ERR_SUCCESS && !temporary.empty()) {
        paths.push_back(JoinPath(temporary, MISSING_LIBRARIES_REPORT_NAME));
    }
    return paths;
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string MissingLibrariesReportText(const std::string& courseName,
                                       const std::vector<std::string>& missingLibraries) {
    std::string text;
    for (std::size_t line = 0; line < TEMPLATE_LINES.size(); ++line) {
        if (line == LIST_END_LINE) {
            for (const std::string& library : missingLibraries) {
                text.append("      <li>").append(EscapeHtml(library)).append("</li>");
                text.append(REPORT_LINE_END);
            }
        }
        text += TEMPLATE_LINES[line];
        if (line == COURSE_NAME_LINE) {
            text.append(EscapeHtml(courseName)).append("&quot;,");
        }
        text.append(REPORT_LINE_END);
    }
    return text;
}

void SetReportFolder(std::string folder) {
    ReportFolder() = std::move(folder);
}

std::string WriteMissingLibrariesReport(const std::string& courseName,
                                        const std::vector<std::string>& missingLibraries) {
    const std::string text = MissingLibrariesReportText(courseName, missingLibraries);
    std::string failures;
    for (const std::string& path : ReportPaths()) {
        const Win32Error error = WriteWholeFile(path, text);
        if (error == ERR_SUCCESS) {
            return path;
        }
        failures += "\n'" + path + "': " + RuntimeErrorText(error);
    }
    ShowError("Couldn't write the missing-libraries report, so it is not shown.%s",
              failures.c_str());
    return {};
}

}  // namespace parvane
