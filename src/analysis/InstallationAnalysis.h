#pragma once

// The installation analysis: every registered course, installed and cloaked, checked against
// the disk and the registered libraries, and the findings as one report text.

#include <cstddef>
#include <string>
#include <vector>

namespace parvane {

enum ProblemKind { PROBLEM_KIND_COURSE = 0, PROBLEM_KIND_LIBRARY = 1, PROBLEM_KIND_OTHER = 2 };
enum ProblemSeverity {
    PROBLEM_SEVERITY_INFORMATION = 0,
    PROBLEM_SEVERITY_WARNING = 1,
    PROBLEM_SEVERITY_ERROR = 2,
};

// A finding holds at most this many characters: long names in it are shortened with "...".
inline constexpr std::size_t MAX_FINDING_LENGTH = 255;
// The report holds at most this many characters; findings that do not fit are counted in a
// last line instead.
inline constexpr std::size_t MAX_ANALYSIS_REPORT_LENGTH = 16383;

struct ProblemEntry {
    ProblemKind kind;
    ProblemSeverity severity;
    std::string text;
};

// The findings, grouped by course (installed courses first, in list order), within a course
// in slot order with the summary of cloaked libraries last. Reads the catalogue and the disk,
// taking a file the catalogue's load found as there: the catalogue is to be loaded just
// before. Changes nothing.
std::vector<ProblemEntry> CollectProblems();

// The report of `problems`: a congratulation when there are none, otherwise a head, one line
// "<kind> <severity>: <text>" per finding and a tail, with CR LF line ends.
std::string FormatAnalysisReport(const std::vector<ProblemEntry>& problems);

// The report of the installation as it is now: the catalogue is loaded again first.
std::string AnalyzeInstallation();

}  // namespace parvane
