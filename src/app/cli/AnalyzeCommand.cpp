#include "app/cli/AnalyzeCommand.h"

#include <iostream>

#include "analysis/InstallationAnalysis.h"
#include "app/cli/PrefixSession.h"
#include "app/cli/TerminalUserInterface.h"

namespace parvane::cli {

namespace {

// The report's CR LF line ends as the terminal's.
std::string WithTerminalLineEnds(std::string text) {
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    return text;
}

}  // namespace

int PrintAnalysis() {
    const std::vector<ProblemEntry> problems = CollectProblems();
    std::cout << ShownText(WithTerminalLineEnds(FormatAnalysisReport(problems))) << std::endl;
    return problems.empty() ? EXIT_DONE : EXIT_NOT_DONE;
}

}  // namespace parvane::cli
