#include "uninstall/UninstallLists.h"

#include <algorithm>
#include <span>
#include <string_view>

#include "archive/Folders.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "base/ShortText.h"
#include "base/StopRequest.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueLoading.h"
#include "uninstall/CourseRemoval.h"
#include "uninstall/LibraryRemoval.h"

namespace parvane {

namespace {

// "+ " for stock content, three blanks otherwise, then the name and `after`, appended to `out`;
// the name gives way to "..." in its middle when the line would not fit a list line.
void AppendListLine(std::string& out, bool stock, const std::string& name, std::string_view after) {
    const std::string_view marker = stock ? "+ " : "   ";
    const std::size_t fixedLength = marker.size() + after.size();
    const std::size_t room =
        MAX_LIST_LINE_LENGTH > fixedLength ? MAX_LIST_LINE_LENGTH - fixedLength : 0;
    out.append(marker);
    if (name.size() <= room) {
        out.append(name);
    } else {
        out.append(ShortenWithEllipsis(name, room));
    }
    out.append(after);
}

template <typename Record>
std::vector<std::string> ListLines(std::span<const Record> installed,
                                   std::span<const Record> cloaked,
                                   std::string (*line)(const Record&, bool)) {
    std::vector<std::string> lines;
    lines.reserve(installed.size() + cloaked.size());
    for (const Record& record : installed) {
        lines.push_back(line(record, false));
    }
    for (const Record& record : cloaked) {
        lines.push_back(line(record, true));
    }
    return lines;
}

template <typename Record>
const Record* AtListLine(std::span<const Record> installed, std::span<const Record> cloaked,
                         int line) {
    if (line < 0) {
        return nullptr;
    }
    const std::size_t index = static_cast<std::size_t>(line);
    if (index < installed.size()) {
        return &installed[index];
    }
    return index - installed.size() < cloaked.size() ? &cloaked[index - installed.size()] : nullptr;
}

// Removals change only the registry and the files; the lists stay as they were until the
// reload after the last one, so every line keeps naming its record.
template <typename Record>
int UninstallAt(const std::vector<int>& lines, const Record* (*atLine)(int),
                bool (*uninstall)(const Record&), const char* kind) {
    int removed = 0;
    for (const int line : lines) {
        // A stop request ends the removals between two entries, never within one.
        if (IsStopRequested()) {
            break;
        }
        const Record* record = atLine(line);
        if (record != nullptr) {
            ShowSubject(record->name);
        }
        if (record != nullptr && uninstall(*record)) {
            ShowInformation("%s '%s' uninstalled successfully", kind, record->name.c_str());
            ++removed;
        }
    }
    LoadCatalogue();
    return removed;
}

}  // namespace

void AppendCourseListLine(std::string& out, const CourseRecord& course, bool cloaked) {
    AppendListLine(out, IsStockCourse(course.guidText), course.name, cloaked ? " (Cloaked)" : "");
}

void AppendLibraryListLine(std::string& out, const LibraryRecord& library, bool cloaked) {
    std::string after = cloaked ? " (Cloaked) " : "";
    const int users = CountCoursesReferencingLibrary(library);
    if (users > 0) {
        after.append("\t(").append(std::to_string(users)).append(")");
    }
    AppendListLine(out, IsStockLibrary(library.guidText), library.name, after);
}

std::string CourseListLine(const CourseRecord& course, bool cloaked) {
    std::string line;
    AppendCourseListLine(line, course, cloaked);
    return line;
}

std::string LibraryListLine(const LibraryRecord& library, bool cloaked) {
    std::string line;
    AppendLibraryListLine(line, library, cloaked);
    return line;
}

std::vector<std::string> CourseListLines() {
    return ListLines(GetInstalledCourses(), GetCloakedCourses(), CourseListLine);
}

std::vector<std::string> LibraryListLines() {
    return ListLines(GetInstalledLibraries(), GetCloakedLibraries(), LibraryListLine);
}

const CourseRecord* CourseAtListLine(int line) {
    return AtListLine(GetInstalledCourses(), GetCloakedCourses(), line);
}

const LibraryRecord* LibraryAtListLine(int line) {
    return AtListLine(GetInstalledLibraries(), GetCloakedLibraries(), line);
}

int UninstallCoursesAt(const std::vector<int>& lines) {
    return UninstallAt(lines, CourseAtListLine, UninstallCourse, "Course");
}

int UninstallLibrariesAt(const std::vector<int>& lines) {
    return UninstallAt(lines, LibraryAtListLine, UninstallLibrary, "Library");
}

std::string CoursePropertiesText(const CourseRecord& course) {
    return "\r\n   Course name:\t" + course.name + "\r\n   File name:\t" +
           GetFileNamePart(course.filename) + "\r\n   Location:\t" +
           GetFolderPart(course.filename) + "\r\n";
}

std::string LibraryPropertiesText(const LibraryRecord& library) {
    const int users = CountCoursesReferencingLibrary(library);
    return "\r\n   Library name:\t" + library.name + "\r\n   File name:\t" +
           GetFileNamePart(library.filename) + "\r\n   Location:\t" +
           GetFolderPart(library.filename) + "\r\n\r\n" +
           (users > 0 ? "   This library is used by " + std::to_string(users) +
                            " of the installed courses"
                      : "   This library is not used by any of the installed courses");
}

}  // namespace parvane
