#include "analysis/PlacementCheck.h"

#include <algorithm>
#include <set>

#include "analysis/InstallationAnalysis.h"
#include "catalogue/Catalogue.h"

namespace parvane {

namespace {

EntryCheck CheckEntry(const std::string& guidText, const std::string& name) {
    EntryCheck check;
    check.guidText = guidText;
    check.name = name;
    PlacementRecord record;
    if (ReadPlacementRecord(TheMachine(), guidText, record)) {
        check.hasRecord = true;
        check.fileCount = record.files.size();
        check.problems = VerifyPlacedFiles(TheMachine(), record);
    }
    return check;
}

template <typename Record>
void CheckAll(std::span<const Record> records, const std::set<std::string>& wanted,
              std::set<std::string>& done, std::vector<EntryCheck>& checks) {
    for (const Record& record : records) {
        if ((wanted.empty() || wanted.contains(record.guidText)) &&
            done.insert(record.guidText).second) {
            checks.push_back(CheckEntry(record.guidText, record.name));
        }
    }
}

}  // namespace

std::vector<EntryCheck> CheckPlacedFiles(const std::vector<std::string>& guidTexts) {
    const std::set<std::string> wanted(guidTexts.begin(), guidTexts.end());
    std::set<std::string> done;
    std::vector<EntryCheck> checks;
    CheckAll(GetInstalledCourses(), wanted, done, checks);
    CheckAll(GetCloakedCourses(), wanted, done, checks);
    CheckAll(GetInstalledLibraries(), wanted, done, checks);
    CheckAll(GetCloakedLibraries(), wanted, done, checks);
    return checks;
}

bool AnyFileProblem(const std::vector<EntryCheck>& checks) {
    return std::any_of(checks.begin(), checks.end(),
                       [](const EntryCheck& check) { return !check.problems.empty(); });
}

std::string PlacementCheckSection(const std::vector<EntryCheck>& checks) {
    std::vector<EntryCheck> troubled;
    std::size_t unrecorded = 0;
    for (const EntryCheck& check : checks) {
        if (!check.problems.empty()) {
            troubled.push_back(check);
        }
        unrecorded += check.hasRecord ? 0 : 1;
    }
    std::string section = "Installed files compared with the records of their installation:\r\n";
    const std::vector<std::string> lines = PlacementCheckLines(troubled);
    std::size_t shown = 0;
    for (; shown < lines.size() &&
           section.size() + lines[shown].size() + 2 < MAX_ANALYSIS_REPORT_LENGTH - 200;
         ++shown) {
        section += lines[shown] + "\r\n";
    }
    if (shown < lines.size()) {
        section += "(" + std::to_string(lines.size() - shown) + " more lines)\r\n";
    }
    return section + std::to_string(checks.size()) +
           " entries checked: " + std::to_string(checks.size() - troubled.size() - unrecorded) +
           " in order, " + std::to_string(troubled.size()) + " with missing or changed files, " +
           std::to_string(unrecorded) + " without a record.";
}

std::vector<std::string> PlacementCheckLines(const std::vector<EntryCheck>& checks) {
    std::vector<std::string> lines;
    for (const EntryCheck& check : checks) {
        const std::string files =
            std::to_string(check.fileCount) + (check.fileCount == 1 ? " file" : " files");
        const std::string state =
            !check.hasRecord ? "no record"
            : check.problems.empty()
                ? "ok, " + files
                : std::to_string(check.problems.size()) + " of " + files + " missing or changed";
        lines.push_back(check.name + " " + check.guidText + ": " + state);
        for (const FileProblem& problem : check.problems) {
            lines.push_back(std::string(problem.missing ? "  missing  " : "  changed  ") +
                            problem.path);
        }
    }
    return lines;
}

}  // namespace parvane
