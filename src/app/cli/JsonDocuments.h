#pragma once

// The JSON documents of `--json`, for programs that read parvane's answers. Their shapes are
// stable (fields are only ever added); texts are UTF-8, paths of the prefix are Windows paths.
//
//   list:      {"kind": "courses"|"libraries", "entries": [{"guid", "name", "headerName",
//               "file", "folder", "state": "installed"|"cloaked", "stock": bool,
//               "uses": number of course slots naming the library (null for a course)}]}
//               headerName is the name in the content file's header, null when it is unreadable
//   analyze:   {"problems": [{"kind": "course"|"library"|"other",
//               "severity": "information"|"warning"|"error", "text"}]}
//   verify:    {"entries": [{"guid", "name", "record": bool, "files": number recorded,
//               "problems": [{"state": "missing"|"changed", "path"}]}]}
//   prefixes:  {"prefixes": [{"folder", "launcher", "gameFolder"}]}

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "analysis/InstallationAnalysis.h"
#include "analysis/PlacementCheck.h"
#include "app/cli/ContentListing.h"
#include "app/cli/GamePrefixes.h"

namespace parvane::cli {

nlohmann::json ListingDocument(ContentKind kind);
nlohmann::json AnalysisDocument(const std::vector<ProblemEntry>& problems);
nlohmann::json VerificationDocument(const std::vector<EntryCheck>& checks);
nlohmann::json PrefixesDocument(const std::vector<GamePrefix>& prefixes);

// `list --json` and `analyze --json`: the document on the standard output, with the exit
// status of the listing and the analysis as text.
int PrintListingDocument(ContentKind kind);
int PrintAnalysisDocument();

// The document on the standard output, indented; bytes that are no UTF-8 (in a host path) as
// U+FFFD.
void PrintDocument(const nlohmann::json& document);

}  // namespace parvane::cli
