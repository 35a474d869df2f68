#pragma once

// The check of installed files against the records of what their installations placed: for
// each registered course and library, the files that are missing or whose size or content
// changed, or that the entry has no record (installed before records were kept, or by another
// program). `parvane verify` prints it; the analysis window shows it as its second section.

#include <string>
#include <vector>

#include "journal/PlacementRecords.h"

namespace parvane {

struct EntryCheck {
    std::string guidText;
    std::string name;
    bool hasRecord = false;
    std::size_t fileCount = 0;
    std::vector<FileProblem> problems;
};

// The registered entries of `guidTexts` (all when empty): courses, then libraries, installed
// before cloaked, each once.
std::vector<EntryCheck> CheckPlacedFiles(const std::vector<std::string>& guidTexts);

bool AnyFileProblem(const std::vector<EntryCheck>& checks);

// The analysis window's second section, with CR LF line ends: the entries with missing or
// changed files in full, then the count of those checked, those in order and those without a
// record. At most MAX_ANALYSIS_REPORT_LENGTH characters; lines that do not fit are counted.
std::string PlacementCheckSection(const std::vector<EntryCheck>& checks);

// One line per entry ("Lakeside {GUID}: ok, 12 files", "...: no record", "...: 2 of 12 files
// missing or changed"), then one per problem ("  missing  C:\...").
std::vector<std::string> PlacementCheckLines(const std::vector<EntryCheck>& checks);

}  // namespace parvane
