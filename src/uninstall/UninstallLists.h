#pragma once

// The uninstall lists as the dialogs and the terminal show them: one line per installed entry
// of the catalogue, then one per cloaked entry, in catalogue order; removing the entries of
// chosen lines; and the properties text of one entry.

#include <cstddef>
#include <string>
#include <vector>

#include "catalogue/Records.h"

namespace parvane {

// A list line holds at most this many characters; a longer name is shortened with "...".
inline constexpr std::size_t MAX_LIST_LINE_LENGTH = 255;
// The library list's one tab stop (dialog template units), lining up the usage counts.
inline constexpr int LIBRARY_LIST_TAB_STOP = 150;

// "+ " for stock content, three blanks otherwise; then the name, " (Cloaked)" for a cloaked
// entry, and for a library used by courses a tab and the number of referencing slots.
std::string CourseListLine(const CourseRecord& course, bool cloaked);
std::string LibraryListLine(const LibraryRecord& library, bool cloaked);
// The same lines appended to `out`, for a listing that keeps the lines of tens of thousands of
// entries in one text.
void AppendCourseListLine(std::string& out, const CourseRecord& course, bool cloaked);
void AppendLibraryListLine(std::string& out, const LibraryRecord& library, bool cloaked);
std::vector<std::string> CourseListLines();
std::vector<std::string> LibraryListLines();

// The record shown on list line `line` of the catalogue as it stands; nullptr past the end.
const CourseRecord* CourseAtListLine(int line);
const LibraryRecord* LibraryAtListLine(int line);

// Removes the entries of `lines` (ascending, taken from the current lists) one after the
// other, with an Information box for each one removed, then reloads the catalogue once, also
// when no line is given. Returns how many were removed.
int UninstallCoursesAt(const std::vector<int>& lines);
int UninstallLibrariesAt(const std::vector<int>& lines);

// The read-only texts of the properties dialogs: name, file name, folder (and for a library
// how many course slots use it), with CR LF line ends.
std::string CoursePropertiesText(const CourseRecord& course);
std::string LibraryPropertiesText(const LibraryRecord& library);

}  // namespace parvane
