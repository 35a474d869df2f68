#include "app/cli/DryRunScope.h"

#include <system_error>

#include "app/cli/PrefixFolders.h"

namespace parvane::cli {

namespace fs = std::filesystem;

namespace {

// `folder` and those of its parents that do not exist yet, deepest first.
void AddMissingFolders(const fs::path& folder, std::vector<fs::path>& missing) {
    std::error_code error;
    for (fs::path path = folder; !path.empty() && !fs::exists(path, error) && !error;
         path = path.parent_path()) {
        missing.push_back(path);
        if (path == path.parent_path()) {
            break;
        }
    }
}

}  // namespace

DryRunScope::DryRunScope(Machine& below, const fs::path& prefix) : overlay(below) {
    const std::string name = PrefixFolderName(CanonicalPrefix(prefix));
    for (const fs::path& root : {PropertiesRoot(), ReportRoot(), StateRoot()}) {
        AddMissingFolders(root / name, madeFolders);
    }
}

DryRunScope::~DryRunScope() {
    for (const fs::path& folder : madeFolders) {
        std::error_code error;
        fs::remove(folder, error);  // only an empty folder goes
    }
}

void DryRunScope::Report(std::ostream& output, const OverlayMachine::PathShown& shown) const {
    PrintPlannedChanges(overlay, output, shown);
}

}  // namespace parvane::cli
