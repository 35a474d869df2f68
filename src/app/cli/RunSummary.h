#pragma once

// The account of an install run: what became of each archive (installed where, declined, not
// installed and why, not reached after a stop), gathered from the run and from what the player
// was asked and shown, and printed as a summary with a tally at the end of the run; a dry run's
// in the conditional, since nothing was installed.

#include <ostream>
#include <string>
#include <vector>

#include "app/cli/TerminalUserInterface.h"
#include "shell/InstallRun.h"

namespace parvane::cli {

class RunSummary final : public ConversationObserver {
  public:
    explicit RunSummary(const TerminalUserInterface& shownBy) : terminal(shownBy) {}

    void OnTitle(const std::string& title) override;
    void OnError(const std::string& text) override;
    void OnDeclined(const std::string& question) override;
    void OnAccepted() override;
    std::string DeclinedInstead() override;
    // Whether the archive in hand has shown an error.
    bool HasError() const { return !firstError.empty(); }

    // The run's word on one archive (ArchiveOutcomeListener).
    void Record(const std::string& archivePath, ArchiveOutcome outcome);
    void Print(std::ostream& results) const;

  private:
    enum class Kind { Installed, Declined, Failed, Interrupted, NotReached };
    struct Line {
        std::string archive;  // its file name, in the program's code page
        Kind kind;
        std::vector<std::string> texts;  // folders installed into, or why (UTF-8)
    };

    bool inArchive = false;
    std::string firstError;    // the first error of the archive in hand
    std::string lastDeclined;  // the question declined last, while nothing came after
    std::vector<Line> lines;
    const TerminalUserInterface& terminal;
};

}  // namespace parvane::cli
