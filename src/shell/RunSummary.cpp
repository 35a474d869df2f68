#include "shell/RunSummary.h"

#include "archive/Folders.h"
#include "base/PathText.h"
#include "base/ShortText.h"
#include "base/StopRequest.h"
#include "catalogue/Catalogue.h"
#include "catalogue/StockContent.h"
#include "installer/InstallRecord.h"
#include "platform/AsciiCase.h"

namespace parvane {

namespace {

// What the summary says of an archive or library in each of these outcomes.
constexpr const char* ALREADY_INSTALLED = "already installed";
constexpr const char* DECLINED = "declined by the player";
constexpr const char* NOT_BEGUN = "not begun: the run was cancelled";

// An Information box holds 4095 characters.
constexpr std::size_t BOX_CAPACITY = 4095;
// A reason quotes the first line of the error, at most this long.
constexpr std::size_t REASON_LENGTH = 120;

std::string FirstLine(const std::string& text) {
    return ShortenWithEllipsis(text.substr(0, text.find('\n')), REASON_LENGTH);
}

bool IsDeclined(const Exchange& exchange) {
    if (exchange.kind == ExchangeKind::Question) {
        return exchange.answer != ANSWER_YES;
    }
    return exchange.kind == ExchangeKind::Dialog && exchange.answer != DIALOG_OK;
}

// Where a library of the package went, when it was installed: its registered file's folder.
bool InstalledAt(const LibraryRecord& library, std::string& folder) {
    const LibraryRecord* registered = FindLibrary(library.guidText);
    if (registered == nullptr || !EqualsNoCase(registered->filename, library.filename)) {
        return false;
    }
    folder = GetFolderPart(library.filename);
    return true;
}

const char* OutcomeWords(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Installed:
            return "installed in ";
        case RunOutcome::Skipped:
            return "skipped: ";
        case RunOutcome::Declined:
        case RunOutcome::NotInstalled:
        case RunOutcome::Cancelled:
            return "not installed: ";
    }
    return "";
}

}  // namespace

RunSummary::RunSummary() {
    ObserveExchanges([this](const Exchange& exchange) { Observe(exchange); });
}

RunSummary::~RunSummary() {
    ObserveExchanges({});
}

void RunSummary::Observe(const Exchange& exchange) {
    // Within an archive, a subject is the next library of a several-library package.
    if (exchange.kind == ExchangeKind::Subject) {
        // Whether the library was installed before is known only now: the install that
        // follows may register it.
        const std::vector<LibraryRecord>& libraries = TheInstallRecord().libraries;
        const std::size_t index = libraryTurns.size();
        Turn& turn = libraryTurns.emplace_back();
        turn.knownBefore = index < libraries.size() && IsLibraryKnown(libraries[index].guidText);
        return;
    }
    Note(archiveTurn, exchange);
    if (!libraryTurns.empty()) {
        Note(libraryTurns.back(), exchange);
    }
}

void RunSummary::Note(Turn& turn, const Exchange& exchange) {
    if (exchange.kind == ExchangeKind::Error) {
        if (turn.firstError.empty()) {
            turn.firstError = exchange.text;
        }
        turn.declined = false;
    } else if (exchange.kind == ExchangeKind::Question || exchange.kind == ExchangeKind::Dialog) {
        turn.declined = IsDeclined(exchange);
    }
}

void RunSummary::BeginArchive() {
    libraryTurns.clear();
    archiveTurn = {};
}

bool RunSummary::PlayerDeclined() const {
    return archiveTurn.declined && !IsStopRequested();
}

void RunSummary::EndArchive(const std::string& archivePath, bool installed) {
    ++archives;
    const InstallRecord record = GetInstallRecord();
    // A package of several libraries is told library by library once the first has begun.
    const bool byLibrary = record.installType == INSTALL_TYPE_LIBRARIES && !libraryTurns.empty();
    RunSummaryLine line{GetFileNamePart(archivePath), false, RunOutcome::Installed, ""};
    if (byLibrary) {
        line.outcome = installed ? RunOutcome::Installed : RunOutcome::NotInstalled;
        line.detail = std::to_string(record.libraries.size()) + " libraries:";
    } else if (installed) {
        line.detail = record.installType == INSTALL_TYPE_COURSE
                          ? GetFolderPart(record.course.filename)
                          : record.targetFolder;
    } else if (IsStopRequested()) {
        line.outcome = RunOutcome::Cancelled;
        line.detail = "cancelled";
    } else {
        const bool known = record.installType == INSTALL_TYPE_COURSE
                               ? IsCourseKnown(record.course.guidText)
                               : record.installType == INSTALL_TYPE_LIBRARY &&
                                     IsLibraryKnown(record.libraries.front().guidText);
        line.outcome = known                  ? RunOutcome::Skipped
                       : archiveTurn.declined ? RunOutcome::Declined
                                              : RunOutcome::NotInstalled;
        line.detail = known                  ? ALREADY_INSTALLED
                      : archiveTurn.declined ? DECLINED
                                             : FirstLine(archiveTurn.firstError);
    }
    lines.push_back(line);
    if (byLibrary) {
        AddLibraryLines();
    }
}

void RunSummary::AddLibraryLines() {
    const InstallRecord record = GetInstallRecord();
    for (std::size_t index = 0; index < record.libraries.size(); ++index) {
        const LibraryRecord& library = record.libraries[index];
        const Turn turn = index < libraryTurns.size() ? libraryTurns[index] : Turn{};
        RunSummaryLine line{library.name, true, RunOutcome::Installed, ""};
        if (!turn.knownBefore && InstalledAt(library, line.detail)) {
            lines.push_back(line);
            continue;
        }
        const bool stock = IsStockLibrary(library.guidText);
        const bool known = turn.knownBefore;
        line.outcome = index >= libraryTurns.size() ? RunOutcome::Cancelled
                       : stock || known             ? RunOutcome::Skipped
                       : turn.declined              ? RunOutcome::Declined
                                                    : RunOutcome::NotInstalled;
        line.detail = line.outcome == RunOutcome::Cancelled ? NOT_BEGUN
                      : stock                               ? "came with the game (stock)"
                      : known                               ? ALREADY_INSTALLED
                      : turn.declined                       ? DECLINED
                                                            : FirstLine(turn.firstError);
        lines.push_back(line);
    }
}

void RunSummary::NotBegun(const std::string& archivePath) {
    ++archives;
    lines.push_back({GetFileNamePart(archivePath), false, RunOutcome::Cancelled, NOT_BEGUN});
}

bool RunSummary::WorthShowing() const {
    if (archives > 1) {
        return true;
    }
    for (const RunSummaryLine& line : lines) {
        if (line.library && line.outcome != RunOutcome::Installed) {
            return true;
        }
    }
    return false;
}

std::string RunSummary::Text() const {
    std::string text = "What this run did:\n";
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const RunSummaryLine& line = lines[index];
        std::string entry = line.library ? "\n      " : "\n";
        entry += line.name + ": ";
        // A several-library package's own line only introduces its libraries.
        const bool heading = !line.library && line.detail.ends_with(" libraries:");
        entry += heading ? line.detail : OutcomeWords(line.outcome) + line.detail;
        const std::string more =
            "\n... and " + std::to_string(lines.size() - index) + " more lines not shown.";
        if (text.size() + entry.size() + more.size() > BOX_CAPACITY) {
            return text + more;
        }
        text += entry;
    }
    return text;
}

}  // namespace parvane
