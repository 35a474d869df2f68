#pragma once

// A dry run around one command: the machine the command works on keeps every change in memory
// (OverlayMachine), and the program's own folders for the prefix (properties, report, state)
// that start-up creates are removed again when they were not there before and are still empty, so
// that nothing on the system is changed.

#include <filesystem>
#include <ostream>
#include <vector>

#include "app/cli/OverlayMachine.h"

namespace parvane::cli {

class DryRunScope {
  public:
    DryRunScope(Machine& below, const std::filesystem::path& prefix);
    ~DryRunScope();
    DryRunScope(const DryRunScope&) = delete;
    DryRunScope& operator=(const DryRunScope&) = delete;

    Machine& GetMachine() { return overlay; }
    // What the command would have changed (PrintPlannedChanges), each path as `shown` gives it.
    void Report(std::ostream& output, const OverlayMachine::PathShown& shown) const;

  private:
    OverlayMachine overlay;
    std::vector<std::filesystem::path> madeFolders;  // deepest first
};

}  // namespace parvane::cli
