#include "app/cli/RunSummary.h"

#include <algorithm>
#include <array>

#include "archive/Folders.h"
#include "base/PathText.h"
#include "base/StopRequest.h"
#include "installer/InstallRecord.h"

namespace parvane::cli {

namespace {

// The last line of a question holds the question itself.
std::string QuestionLine(const std::string& text) {
    const std::string_view trimmed =
        std::string_view(text).substr(0, text.find_last_not_of("\n ") + 1);
    const std::size_t lineEnd = trimmed.rfind('\n');
    return std::string(lineEnd == std::string_view::npos ? trimmed : trimmed.substr(lineEnd + 1));
}

// A message's lines as one, for a line of the summary.
std::string OneLine(const std::string& text) {
    std::string line;
    for (const char c : text) {
        if (c != '\n') {
            line += c;
        } else if (!line.empty() && line.back() != ' ') {
            line += ' ';
        }
    }
    return line.substr(0, line.find_last_not_of(' ') + 1);
}

// Where the archive just installed went: the course's or library's folder, or each library's.
std::vector<std::string> InstalledFolders() {
    const InstallRecord record = GetInstallRecord();
    if (record.installType != INSTALL_TYPE_LIBRARIES) {
        return {record.targetFolder};
    }
    std::vector<std::string> folders;
    for (const LibraryRecord& library : record.libraries) {
        if (!library.skip) {
            folders.push_back(GetFolderPart(library.filename));
        }
    }
    return folders;
}

}  // namespace

void RunSummary::OnTitle(const std::string&) {
    inArchive = true;
    firstError.clear();
    lastDeclined.clear();
}

void RunSummary::OnError(const std::string& text) {
    if (!inArchive) {
        return;
    }
    if (firstError.empty()) {
        firstError = terminal.WithHostPaths(OneLine(text));
    }
    lastDeclined.clear();
}

void RunSummary::OnDeclined(const std::string& question) {
    lastDeclined = TerminalText(QuestionLine(question));
}

void RunSummary::OnAccepted() {
    lastDeclined.clear();
}

std::string RunSummary::DeclinedInstead() {
    if (IsStopRequested() || lastDeclined.empty()) {
        return {};
    }
    return std::string(terminal.IsDryRun() ? "Would not be installed" : "Not installed") +
           ": declined (" + lastDeclined + ").";
}

void RunSummary::Record(const std::string& archivePath, ArchiveOutcome outcome) {
    Line line{GetFileNamePart(archivePath), Kind::NotReached, {}};
    if (outcome == ArchiveOutcome::Installed) {
        line.kind = Kind::Installed;
        for (const std::string& folder : InstalledFolders()) {
            line.texts.push_back(terminal.PathShown(folder));
        }
    } else if (outcome == ArchiveOutcome::NotInstalled) {
        // A stop, a declined question and an error are told apart in this order: the stop made
        // the last question or error happen.
        line.kind = IsStopRequested()       ? Kind::Interrupted
                    : !lastDeclined.empty() ? Kind::Declined
                                            : Kind::Failed;
        if (line.kind == Kind::Declined) {
            line.texts.push_back(lastDeclined);
        } else if (line.kind == Kind::Failed && !firstError.empty()) {
            line.texts.push_back(firstError);
        }
    }
    lines.push_back(std::move(line));
    inArchive = false;
}

void RunSummary::Print(std::ostream& results) const {
    const bool dry = terminal.IsDryRun();
    const std::string installed = dry ? "would be installed" : "installed";
    const std::string notInstalled = dry ? "would not be installed" : "not installed";
    std::size_t width = 0;
    for (const Line& line : lines) {
        width = std::max(width, line.archive.size());
    }
    std::array<int, 5> counts{};
    results << (dry ? "\nSummary of the dry run:\n" : "\nSummary:\n");
    for (const Line& line : lines) {
        ++counts[static_cast<std::size_t>(line.kind)];
        results << "  " << TerminalText(line.archive)
                << std::string(width - line.archive.size() + 2, ' ');
        switch (line.kind) {
            case Kind::Installed:
                results << installed << " in " << (line.texts.empty() ? "" : line.texts.front());
                for (std::size_t i = 1; i < line.texts.size(); ++i) {
                    results << "\n"
                            << std::string(width + installed.size() + 8, ' ') << line.texts[i];
                }
                break;
            case Kind::Declined:
                results << notInstalled << ": declined (" << line.texts.front() << ")";
                break;
            case Kind::Failed:
                results << notInstalled
                        << (line.texts.empty() ? std::string() : ": " + line.texts.front());
                break;
            case Kind::Interrupted:
                results << "not installed: interrupted";
                break;
            case Kind::NotReached:
                results << "skipped: the run was interrupted first";
                break;
        }
        results << "\n";
    }
    results << lines.size() << (lines.size() == 1 ? " archive: " : " archives: ") << counts[0]
            << " " << installed << ", " << counts[1] << " declined, " << counts[2] + counts[3]
            << " " << notInstalled << ", " << counts[4] << " skipped" << std::endl;
}

}  // namespace parvane::cli
