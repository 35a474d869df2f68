#include "analysis/InstallationAnalysis.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>
#include <unordered_map>

#include "base/ShortText.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueLoading.h"
#include "platform/Machine.h"

namespace parvane {

namespace {

constexpr std::array<const char*, 3> KIND_NAMES = {"Course", "Library", "Other"};
constexpr std::array<const char*, 3> SEVERITY_NAMES = {"information", "warning", "error"};
constexpr const char* REPORT_HEAD =
    "The following problems were found during the analysis:\r\n\r\n";
constexpr const char* REPORT_TAIL = "\r\nAnalysis complete.";

// The slots of a course the analysis looks at.
std::size_t ExaminedSlots(const CourseRecord& course) {
    return static_cast<std::size_t>(std::clamp(course.libraryCount, 0, MAX_REFERENCED_LIBRARIES));
}

// The registered library each examined slot of each course stands for (null when there is
// none), the courses' slots one after the other in list order: each reference is looked up
// once, by its GUID's text.
std::vector<const LibraryRecord*> ReferencedLibraries(
    std::span<const std::span<const CourseRecord>> courseLists) {
    std::vector<const LibraryRecord*> libraries;
    for (const std::span<const CourseRecord> courses : courseLists) {
        for (const CourseRecord& course : courses) {
            for (std::size_t slot = 0; slot < ExaminedSlots(course); ++slot) {
                libraries.push_back(FindLibrary(ViewOf(GuidToChars(course.libraryGuids[slot]))));
            }
        }
    }
    return libraries;
}

// Whether each file the analysis looks for is there. The catalogue's load found most of them
// moments before; the others are asked of the machine once for all: the courses of a large
// collection reference the same libraries many times over, and the machine answers many paths
// at once faster than one by one.
class PresentFiles {
  public:
    PresentFiles(std::span<const std::span<const CourseRecord>> courseLists,
                 std::span<const LibraryRecord* const> referenced) {
        for (const std::span<const CourseRecord> courses : courseLists) {
            for (const CourseRecord& course : courses) {
                Ask(course);
            }
        }
        for (const LibraryRecord* library : referenced) {
            if (library != nullptr) {
                Ask(*library);
            }
        }
        std::vector<PathStatus> statuses;
        TheMachine().GetFileStatuses(paths, statuses);
        for (std::size_t i = 0; i < paths.size(); ++i) {
            present[paths[i]] = statuses[i].error == ERR_SUCCESS;
        }
    }

    template <typename Record>
    bool Contains(const Record& record) const {
        return record.fileFound || present.at(record.filename);
    }

  private:
    template <typename Record>
    void Ask(const Record& record) {
        if (!record.fileFound && present.try_emplace(record.filename, false).second) {
            paths.push_back(record.filename);
        }
    }

    // Views of the records' own paths, which outlive the analysis.
    std::vector<std::string_view> paths;
    std::unordered_map<std::string_view, bool> present;
};

void Add(std::vector<ProblemEntry>& problems, ProblemKind kind, ProblemSeverity severity,
         std::string_view format, std::vector<std::string> arguments) {
    problems.push_back(
        {kind, severity, FormatWithin(MAX_FINDING_LENGTH, format, std::move(arguments))});
}

// `libraries`: what ReferencedLibraries found for the course's slots.
void CheckReferences(const CourseRecord& course, std::span<const LibraryRecord* const> libraries,
                     const PresentFiles& files, std::vector<ProblemEntry>& problems) {
    int cloaked = 0;
    for (std::size_t slot = 0; slot < libraries.size(); ++slot) {
        const std::string_view referencedName = LibraryNameInSlot(course, static_cast<int>(slot));
        const LibraryRecord* library = libraries[slot];
        if (library == nullptr) {
            Add(problems, PROBLEM_KIND_COURSE, PROBLEM_SEVERITY_ERROR,
                "%s: Cannot find the referenced library %s",
                {course.name, std::string(referencedName)});
        } else if (!files.Contains(*library)) {
            Add(problems, PROBLEM_KIND_LIBRARY, PROBLEM_SEVERITY_ERROR,
                "%s: Cannot find the library file '%s' referenced by course %s",
                {library->name, library->filename, course.name});
        } else {
            if (library->headerName != referencedName) {
                Add(problems, PROBLEM_KIND_COURSE, PROBLEM_SEVERITY_WARNING,
                    "%s: The referenced library %s is actually named %s",
                    {course.name, std::string(referencedName), library->headerName});
            }
            cloaked += IsLibraryCloaked(library->guidText) ? 1 : 0;
        }
    }
    if (cloaked > 0) {
        Add(problems, PROBLEM_KIND_COURSE, PROBLEM_SEVERITY_WARNING,
            "%s: " + std::to_string(cloaked) +
                (cloaked == 1 ? " referenced library is cloaked"
                              : " referenced libraries are cloaked"),
            {course.name});
    }
}

// `referenced`: what ReferencedLibraries found, from the first slot of these courses on; what
// is left past their slots is returned.
std::span<const LibraryRecord* const> CheckCourses(std::span<const CourseRecord> courses,
                                                   std::span<const LibraryRecord* const> referenced,
                                                   const PresentFiles& files,
                                                   std::vector<ProblemEntry>& problems) {
    for (const CourseRecord& course : courses) {
        const auto libraries = referenced.first(ExaminedSlots(course));
        referenced = referenced.subspan(libraries.size());
        if (!files.Contains(course)) {
            Add(problems, PROBLEM_KIND_COURSE, PROBLEM_SEVERITY_ERROR,
                "%s: Cannot find the course file. (%s)", {course.name, course.filename});
        } else {
            CheckReferences(course, libraries, files, problems);
        }
    }
    return referenced;
}

std::string ReportLine(const ProblemEntry& problem) {
    return std::string(KIND_NAMES[problem.kind]) + " " + SEVERITY_NAMES[problem.severity] + ": " +
           problem.text + "\r\n";
}

std::string OmissionLine(std::size_t omitted) {
    return "(" + std::to_string(omitted) + " more problems were found but are not listed.)\r\n";
}

}  // namespace

std::vector<ProblemEntry> CollectProblems() {
    const std::array<std::span<const CourseRecord>, 2> courseLists = {GetInstalledCourses(),
                                                                      GetCloakedCourses()};
    const std::vector<const LibraryRecord*> referenced = ReferencedLibraries(courseLists);
    const PresentFiles files(courseLists, referenced);
    std::vector<ProblemEntry> problems;
    std::span<const LibraryRecord* const> unchecked = referenced;
    for (const std::span<const CourseRecord> courses : courseLists) {
        unchecked = CheckCourses(courses, unchecked, files, problems);
    }
    return problems;
}

std::string FormatAnalysisReport(const std::vector<ProblemEntry>& problems) {
    if (problems.empty()) {
        return "Congratulations, the installation analysis did not find any problems!\r\n\r\n"
               "Analysis complete.";
    }
    std::vector<std::string> lines;
    std::size_t total =
        std::char_traits<char>::length(REPORT_HEAD) + std::char_traits<char>::length(REPORT_TAIL);
    for (const ProblemEntry& problem : problems) {
        lines.push_back(ReportLine(problem));
        total += lines.back().size();
    }
    // Room for the omission line, should it be needed, with as many digits as the count has.
    const std::size_t reserve =
        total > MAX_ANALYSIS_REPORT_LENGTH ? OmissionLine(lines.size()).size() : 0;
    std::string report = REPORT_HEAD;
    std::size_t listed = 0;
    for (; listed < lines.size(); ++listed) {
        if (report.size() + lines[listed].size() + reserve +
                std::char_traits<char>::length(REPORT_TAIL) >
            MAX_ANALYSIS_REPORT_LENGTH) {
            break;
        }
        report += lines[listed];
    }
    if (listed < lines.size()) {
        report += OmissionLine(lines.size() - listed);
    }
    return report + REPORT_TAIL;
}

std::string AnalyzeInstallation() {
    LoadCatalogue();
    return FormatAnalysisReport(CollectProblems());
}

}  // namespace parvane
