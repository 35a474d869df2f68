#include "app/cli/TerminalUserInterface.h"

#include <algorithm>
#include <optional>

#include "app/cli/TypedPaths.h"
#include "base/Messages.h"
#include "platform/AsciiCase.h"
#include "platform/Win32Codes.h"
#include "platform/wine/text/Codepage.h"
#include "shell/ArchiveInstallation.h"
#include "shell/Commands.h"

namespace parvane::cli {

namespace {

constexpr std::uint32_t BUTTONS_MASK = 0x000F;
constexpr std::uint32_t ICON_MASK = 0x00F0;

struct Question {
    bool hasCancel = false;
    int defaultAnswer = ANSWER_YES;
};

Question QuestionOf(std::uint32_t flags) {
    return {(flags & BUTTONS_MASK) == MSGBOX_YESNOCANCEL,
            (flags & MSGBOX_DEFBUTTON2) != 0 ? ANSWER_NO : ANSWER_YES};
}

// The buttons with the default in capitals: "[Y/n]", "[y/N/c]".
std::string ButtonsText(const Question& question) {
    const bool yes = question.defaultAnswer == ANSWER_YES;
    return std::string("[") + (yes ? "Y/n" : "y/N") + (question.hasCancel ? "/c]" : "]");
}

const char* AnswerWord(int answer) {
    return answer == ANSWER_YES ? "y" : answer == ANSWER_NO ? "n" : "c";
}

// y/yes, n/no, c/cancel (where the box has Cancel) in any case; empty takes the default.
std::optional<int> ParseAnswer(const std::string& line, const Question& question) {
    const std::string word = ToUpperAscii(line);
    if (word.empty()) {
        return question.defaultAnswer;
    }
    if (word == "Y" || word == "YES") {
        return ANSWER_YES;
    }
    if (word == "N" || word == "NO") {
        return ANSWER_NO;
    }
    if (question.hasCancel && (word == "C" || word == "CANCEL")) {
        return ANSWER_CANCEL;
    }
    return std::nullopt;
}

// A Windows path within a program text, as the program's messages put one: in quotes
// ("'C:\\x'"); in brackets at the end of a line ("(C:\\Program Files (x86)\\x)"); or unquoted
// after a blank or at a line's start, running to the end of its line but for a closing clause
// such as ", return code=5" ("folder C:\\x, return code=5").
struct PathSpan {
    std::size_t start = std::string::npos;
    std::size_t end = std::string::npos;
};

// The end of an unquoted path that starts at `start`, after `opening` (a blank, a bracket or
// nothing).
std::size_t UnquotedPathEnd(const std::string& text, std::size_t start, char opening) {
    const std::size_t lineEnd = std::min(text.find('\n', start), text.size());
    if (opening == '(') {
        const std::size_t closing = text.rfind(')', lineEnd);
        return closing != std::string::npos && closing > start ? closing : lineEnd;
    }
    const std::size_t clause = text.rfind(", ", lineEnd);
    if (clause == std::string::npos || clause <= start) {
        return lineEnd;
    }
    const std::string_view rest = std::string_view(text).substr(clause, lineEnd - clause);
    const bool isClause =
        rest.find('=') != std::string_view::npos && rest.find('\\') == std::string_view::npos;
    return isClause ? clause : lineEnd;
}

PathSpan FindWindowsPath(const std::string& text, std::size_t from) {
    for (std::size_t at = from; at < text.size(); ++at) {
        const bool quoted = text[at] == '\'';
        const char opening = at == 0 ? ' ' : text[at - 1];
        const bool unquoted = opening == ' ' || opening == '\n' || opening == '(';
        if (!quoted && !unquoted) {
            continue;
        }
        const std::size_t start = at + (quoted ? 1 : 0);
        if (!IsFullWindowsPathText(std::string_view(text).substr(start))) {
            continue;
        }
        if (!quoted) {
            return {start, UnquotedPathEnd(text, start, opening)};
        }
        if (const std::size_t end = text.find('\'', start); end != std::string::npos) {
            return {start, end};
        }
    }
    return {};
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string TerminalText(std::string_view programText) {
    return wine::Cp1252ToUtf8(programText);
}

std::string ShownText(const std::string& programText) {
    const auto* terminal = dynamic_cast<const TerminalUserInterface*>(&TheUserInterface());
    return terminal != nullptr ? terminal->WithHostPaths(programText) : TerminalText(programText);
}

std::string ShownPath(const std::string& windowsPath) {
    const auto* terminal = dynamic_cast<const TerminalUserInterface*>(&TheUserInterface());
    return terminal != nullptr ? terminal->PathShown(windowsPath) : TerminalText(windowsPath);
}

namespace {

// The terminal's own texts show their paths as the player finds them already: they are not
// looked through for Windows paths again.
void ShowOwnText(int (*show)(const char* format, ...), const std::string& text) {
    auto* terminal = dynamic_cast<TerminalUserInterface*>(&TheUserInterface());
    if (terminal != nullptr) {
        terminal->MarkOwnText(true);
    }
    show("%s", wine::Utf8ToCp1252WithSubstitutes(text).c_str());
    if (terminal != nullptr) {
        terminal->MarkOwnText(false);
    }
}

}  // namespace

void ShowTerminalError(const std::string& text) {
    ShowOwnText(ShowError, text);
}

void ShowTerminalWarning(const std::string& text) {
    ShowOwnText(ShowWarning, text);
}

TerminalUserInterface::TerminalUserInterface(TerminalStreams streams, PathConverter pathConverter,
                                             TerminalOptions terminalOptions)
    : input(streams.input),
      messages(streams.messages),
      prompts(streams.prompts),
      converter(std::move(pathConverter)),
      options(std::move(terminalOptions)) {}

// Built in place: a listing shows a path for each of thousands of entries.
std::string TerminalUserInterface::PathShown(const std::string& windowsPath) const {
    std::string shown = options.hostPathOf ? options.hostPathOf(windowsPath) : std::string();
    if (shown.empty()) {
        return TerminalText(windowsPath);
    }
    shown += " (";
    shown += TerminalText(windowsPath);
    shown += ')';
    return shown;
}

std::string TerminalUserInterface::WithHostPaths(const std::string& programText) const {
    std::string shown;
    std::size_t done = 0;
    for (PathSpan path = FindWindowsPath(programText, 0); path.start != std::string::npos;
         path = FindWindowsPath(programText, done)) {
        shown += TerminalText(std::string_view(programText).substr(done, path.start - done));
        shown += PathShown(programText.substr(path.start, path.end - path.start));
        done = path.end;
    }
    return shown + TerminalText(std::string_view(programText).substr(done));
}

std::string TerminalUserInterface::CaptionShown(const std::string& caption,
                                                std::uint32_t flags) const {
    // A dry run tells and asks what a real run would, and must not read as if it had done it
    // ("Installation complete."); its errors are its own.
    const bool isError = (flags & ICON_MASK) == MSGBOX_ICONSTOP;
    return TerminalText(caption) + (options.dryRun && !isError ? " (in a real run)" : "");
}

std::string TerminalUserInterface::SubjectLine(const std::string& archivePath) const {
    const std::string host = options.hostPathOf ? options.hostPathOf(archivePath) : std::string();
    return "== " + (host.empty() ? TerminalText(archivePath) : host);
}

std::ostream& TerminalUserInterface::MessageStream() {
    std::ostream& stream = inDialog ? prompts : messages;
    (&stream == &prompts ? messages : prompts).flush();
    if (!pendingSubject.empty()) {
        stream << SubjectLine(pendingSubject) << "\n";
        pendingSubject.clear();
    }
    return stream;
}

int TerminalUserInterface::ShowMessageBox(const std::string& text, const std::string& caption,
                                          std::uint32_t flags) {
    ClearProgressLine();
    const std::uint32_t buttons = flags & BUTTONS_MASK;
    if (buttons == MSGBOX_YESNO || buttons == MSGBOX_YESNOCANCEL) {
        return AskQuestion(text, caption, flags);
    }
    const bool isError = (flags & ICON_MASK) == MSGBOX_ICONSTOP;
    // "Installation not complete." after a declined step is an Information box, else an Error.
    if (observer != nullptr && text == INSTALLATION_NOT_COMPLETE_MESSAGE) {
        if (const std::string instead = observer->DeclinedInstead(); !instead.empty()) {
            MessageStream() << instead << std::endl;
            return ANSWER_OK;
        }
    } else if (isError && observer != nullptr) {
        observer->OnError(text);
    }
    MessageStream() << CaptionShown(caption, flags) << ": "
                    << (ownText ? TerminalText(text) : WithHostPaths(text)) << std::endl;
    return ANSWER_OK;
}

void TerminalUserInterface::ShowTitle(const std::string& title) {
    if (title == MAIN_WINDOW_TITLE) {
        return;
    }
    ClearProgressLine();
    if (observer != nullptr) {
        observer->OnTitle(title);
    }
    // "Parvane for Greenvale 06 - <archive>": the archive as the player named it.
    const std::string lead = std::string(MAIN_WINDOW_TITLE) + " - ";
    MessageStream() << SubjectLine(title.starts_with(lead) ? title.substr(lead.size()) : title)
                    << std::endl;
}

void TerminalUserInterface::ShowWrittenFile(const std::string& description,
                                            const std::string& path) {
    ClearProgressLine();
    const std::string host = options.hostPathOf ? options.hostPathOf(path) : std::string();
    MessageStream() << TerminalText(description) << (options.dryRun ? " (in a real run)" : "")
                    << ": " << (host.empty() ? TerminalText(path) : host) << std::endl;
}

void TerminalUserInterface::ShowLines(const std::string& heading,
                                      const std::vector<std::string>& lines) {
    ClearProgressLine();
    std::ostream& stream = MessageStream();
    stream << TerminalText(heading) << ":\n";
    for (const std::string& line : lines) {
        stream << "  " << TerminalText(line) << "\n";
    }
    stream.flush();
}

bool TerminalUserInterface::ReadAnswer(std::string& line) {
    if (!std::getline(input, line)) {
        prompts << std::endl;
        return false;
    }
    line = Trimmed(line);
    if (options.echoAnswers) {
        prompts << line << std::endl;
    }
    return true;
}

int TerminalUserInterface::AskQuestion(const std::string& text, const std::string& caption,
                                       std::uint32_t flags) {
    const Question question = QuestionOf(flags);
    messages.flush();
    prompts << CaptionShown(caption, flags) << ": " << WithHostPaths(text) << " "
            << ButtonsText(question) << " " << std::flush;
    int answer = question.hasCancel ? ANSWER_CANCEL : ANSWER_NO;
    if (options.answerYes || options.answerDefaults) {
        answer = options.answerYes ? ANSWER_YES : question.defaultAnswer;
        prompts << AnswerWord(answer) << std::endl;
    } else {
        std::string line;
        while (ReadAnswer(line)) {
            if (const std::optional<int> parsed = ParseAnswer(line, question)) {
                answer = *parsed;
                break;
            }
            prompts << (question.hasCancel ? "Please answer y, n or c: " : "Please answer y or n: ")
                    << std::flush;
        }
    }
    if (answer != ANSWER_YES && inDialog) {
        ++declinedInDialog;
    }
    if (observer != nullptr) {
        if (answer == ANSWER_YES) {
            observer->OnAccepted();
        } else {
            observer->OnDeclined(text);
        }
    }
    return answer;
}

void TerminalUserInterface::BeginWork(const std::string& description, std::uint64_t total) {
    // Work of unknown size cannot be told large.
    work = Work{description, total, -1, options.showProgress && total >= PROGRESS_THRESHOLD, false};
    AdvanceWork(0);
}

void TerminalUserInterface::AdvanceWork(std::uint64_t done) {
    if (!work.active) {
        return;
    }
    const int percent = static_cast<int>(std::min(done, work.total) * 100 / work.total);
    if (percent == work.shownPercent) {
        return;
    }
    work.shownPercent = percent;
    messages.flush();
    prompts << "\r" << TerminalText(work.description) << ": " << percent << "%\x1b[K" << std::flush;
    work.lineShown = true;
}

void TerminalUserInterface::EndWork() {
    ClearProgressLine();
    work.active = false;
}

void TerminalUserInterface::ClearProgressLine() {
    if (work.lineShown) {
        prompts << "\r\x1b[K" << std::flush;
        work.lineShown = false;
        work.shownPercent = -1;
    }
}

bool TerminalUserInterface::ConvertTypedPath(const std::string& typed, std::string& windowsPath) {
    std::string message;
    if (converter(typed, windowsPath, message)) {
        return true;
    }
    prompts << message << std::endl;
    return false;
}

}  // namespace parvane::cli
