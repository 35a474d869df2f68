#include "analysis/PlacementCheck.h"

#include <algorithm>
#include <set>

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

std::vector<std::string> PlacementCheckLines(const std::vector<EntryCheck>& checks) {
    std::vector<std::string> lines;
    for (const EntryCheck& check : checks) {
        const std::string files = std::to_string(check.fileCount) + " files";
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
