#include "app/cli/JsonDocuments.h"

#include <iostream>

#include "app/cli/PrefixSession.h"
#include "app/cli/TerminalUserInterface.h"
#include "base/PathText.h"
#include "catalogue/Catalogue.h"
#include "catalogue/HeaderReaders.h"
#include "catalogue/StockContent.h"

namespace parvane::cli {

namespace {

using nlohmann::json;

json HeaderNameOf(const std::string& file) {
    NameAndGuid header;
    return GetHeaderNameAndGuid(file, header) ? json(TerminalText(header.name)) : json(nullptr);
}

template <typename Record>
json EntryDocument(const Record& record, const char* state, bool stock, json uses) {
    return {{"guid", TerminalText(record.guidText)},
            {"name", TerminalText(record.name)},
            {"headerName", HeaderNameOf(record.filename)},
            {"file", TerminalText(record.filename)},
            {"folder", TerminalText(FolderTextPart(record.filename))},
            {"state", state},
            {"stock", stock},
            {"uses", std::move(uses)}};
}

json CourseEntries() {
    json entries = json::array();
    for (const auto& [courses, state] : {std::pair{GetInstalledCourses(), "installed"},
                                         std::pair{GetCloakedCourses(), "cloaked"}}) {
        for (const CourseRecord& course : courses) {
            entries.push_back(
                EntryDocument(course, state, IsStockCourse(course.guidText), json(nullptr)));
        }
    }
    return entries;
}

json LibraryEntries() {
    json entries = json::array();
    for (const auto& [libraries, state] : {std::pair{GetInstalledLibraries(), "installed"},
                                           std::pair{GetCloakedLibraries(), "cloaked"}}) {
        for (const LibraryRecord& library : libraries) {
            entries.push_back(EntryDocument(library, state, IsStockLibrary(library.guidText),
                                            CountCoursesReferencingLibrary(library)));
        }
    }
    return entries;
}

const char* KindWord(ProblemKind kind) {
    return kind == PROBLEM_KIND_COURSE    ? "course"
           : kind == PROBLEM_KIND_LIBRARY ? "library"
                                          : "other";
}

const char* SeverityWord(ProblemSeverity severity) {
    return severity == PROBLEM_SEVERITY_ERROR     ? "error"
           : severity == PROBLEM_SEVERITY_WARNING ? "warning"
                                                  : "information";
}

}  // namespace

json ListingDocument(ContentKind kind) {
    const bool courses = kind == ContentKind::Courses;
    return {{"kind", courses ? "courses" : "libraries"},
            {"entries", courses ? CourseEntries() : LibraryEntries()}};
}

json AnalysisDocument(const std::vector<ProblemEntry>& problems) {
    json list = json::array();
    for (const ProblemEntry& problem : problems) {
        list.push_back({{"kind", KindWord(problem.kind)},
                        {"severity", SeverityWord(problem.severity)},
                        {"text", TerminalText(problem.text)}});
    }
    return {{"problems", std::move(list)}};
}

json VerificationDocument(const std::vector<EntryCheck>& checks) {
    json entries = json::array();
    for (const EntryCheck& check : checks) {
        json problems = json::array();
        for (const FileProblem& problem : check.problems) {
            problems.push_back({{"state", problem.missing ? "missing" : "changed"},
                                {"path", TerminalText(problem.path)}});
        }
        entries.push_back({{"guid", check.guidText},
                           {"name", TerminalText(check.name)},
                           {"record", check.hasRecord},
                           {"files", check.fileCount},
                           {"problems", std::move(problems)}});
    }
    return {{"entries", std::move(entries)}};
}

json PrefixesDocument(const std::vector<GamePrefix>& prefixes) {
    json list = json::array();
    for (const GamePrefix& prefix : prefixes) {
        list.push_back({{"folder", prefix.folder.string()},
                        {"launcher", prefix.launcher},
                        {"gameFolder", TerminalText(prefix.gameFolder)}});
    }
    return {{"prefixes", std::move(list)}};
}

int PrintListingDocument(ContentKind kind) {
    PrintDocument(ListingDocument(kind));
    return EXIT_DONE;
}

int PrintAnalysisDocument() {
    const std::vector<ProblemEntry> problems = CollectProblems();
    PrintDocument(AnalysisDocument(problems));
    return problems.empty() ? EXIT_DONE : EXIT_NOT_DONE;
}

void PrintDocument(const json& document) {
    std::cout << document.dump(2, ' ', false, json::error_handler_t::replace) << std::endl;
}

}  // namespace parvane::cli
