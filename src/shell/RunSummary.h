#pragma once

// The account of an install run: what became of each archive, and of each library of a
// several-library package (installed where, skipped and why, not installed and why), gathered
// from the install record, the catalogue and what the player was shown and asked, and shown in
// one Information box at the end of a run of several archives or one where something was left
// out.

#include <string>
#include <vector>

#include "base/Messages.h"

namespace parvane {

enum class RunOutcome { Installed, Skipped, Declined, NotInstalled, Cancelled };

struct RunSummaryLine {
    std::string name;  // the archive's file name, or a library's name
    bool library;      // one library of a several-library package, listed under its archive
    RunOutcome outcome;
    std::string detail;  // the folder installed into, or why not
};

class RunSummary {
  public:
    // Watches the calling thread's boxes and dialogs while it lives.
    RunSummary();
    ~RunSummary();
    RunSummary(const RunSummary&) = delete;
    RunSummary& operator=(const RunSummary&) = delete;

    // An archive begins: what was shown and asked is counted for it from here on.
    void BeginArchive();
    // True when the archive in hand, which failed, failed because the player said No or
    // cancelled, with no error after.
    bool PlayerDeclined() const;
    // The archive's lines, from its outcome and the install record it leaves.
    void EndArchive(const std::string& archivePath, bool installed);
    // An archive not begun because the run was cancelled.
    void NotBegun(const std::string& archivePath);

    const std::vector<RunSummaryLine>& Lines() const { return lines; }
    // After more than one archive, or when a library of a package was left out.
    bool WorthShowing() const;
    // The box's text: one line per archive and library, within what an Information box holds.
    std::string Text() const;

  private:
    // The exchanges since the archive, or the library, in hand began.
    struct Turn {
        bool knownBefore = false;  // a library already in the catalogue when its turn began
        std::string firstError;
        bool declined = false;  // the last question or dialog was answered No or cancelled
    };
    void Observe(const Exchange& exchange);
    static void Note(Turn& turn, const Exchange& exchange);
    void AddLibraryLines();

    std::vector<RunSummaryLine> lines;
    std::vector<Turn> libraryTurns;  // one per library subject of a several-library package
    Turn archiveTurn;
    int archives = 0;
};

}  // namespace parvane
