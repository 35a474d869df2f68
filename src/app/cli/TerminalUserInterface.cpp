#include "app/cli/TerminalUserInterface.h"

#include <algorithm>
#include <optional>

#include "base/AsciiCase.h"
#include "base/Messages.h"
#include "platform/Win32Codes.h"
#include "platform/wine/Codepage.h"
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
    if (word.empty())
        return question.defaultAnswer;
    if (word == "Y" || word == "YES")
        return ANSWER_YES;
    if (word == "N" || word == "NO")
        return ANSWER_NO;
    if (question.hasCancel && (word == "C" || word == "CANCEL"))
        return ANSWER_CANCEL;
    return std::nullopt;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string TerminalText(std::string_view programText) {
    return wine::Cp1252ToUtf8(programText);
}

void ShowTerminalError(const std::string& text) {
    ShowError("%s", wine::Utf8ToCp1252WithSubstitutes(text).c_str());
}

void ShowTerminalWarning(const std::string& text) {
    ShowWarning("%s", wine::Utf8ToCp1252WithSubstitutes(text).c_str());
}

TerminalUserInterface::TerminalUserInterface(std::istream& inputStream, std::ostream& outputStream,
                                             std::ostream& errorStream, PathConverter pathConverter,
                                             TerminalOptions terminalOptions)
    : input(inputStream),
      output(outputStream),
      errors(errorStream),
      converter(std::move(pathConverter)),
      options(terminalOptions) {}

int TerminalUserInterface::ShowMessageBox(const std::string& text, const std::string& caption,
                                          std::uint32_t flags) {
    ClearProgressLine();
    const std::uint32_t buttons = flags & BUTTONS_MASK;
    if (buttons == MSGBOX_YESNO || buttons == MSGBOX_YESNOCANCEL)
        return AskQuestion(text, caption, flags);
    const bool isError = (flags & ICON_MASK) == MSGBOX_ICONSTOP;
    (isError ? output : errors).flush();
    (isError ? errors : output) << TerminalText(caption) << ": " << TerminalText(text) << std::endl;
    return ANSWER_OK;
}

void TerminalUserInterface::ShowTitle(const std::string& title) {
    if (title == MAIN_WINDOW_TITLE)
        return;
    ClearProgressLine();
    errors.flush();
    output << "== " << TerminalText(title) << std::endl;
}

void TerminalUserInterface::ShowWrittenFile(const std::string& description,
                                            const std::string& path) {
    ClearProgressLine();
    errors.flush();
    output << TerminalText(description) << ": "
           << (options.hostPathOf ? options.hostPathOf(path) : TerminalText(path)) << std::endl;
}

bool TerminalUserInterface::ReadAnswer(std::string& line) {
    if (!std::getline(input, line)) {
        output << std::endl;
        return false;
    }
    line = Trimmed(line);
    if (options.echoAnswers)
        output << line << std::endl;
    return true;
}

int TerminalUserInterface::AskQuestion(const std::string& text, const std::string& caption,
                                       std::uint32_t flags) {
    const Question question = QuestionOf(flags);
    errors.flush();
    output << TerminalText(caption) << ": " << TerminalText(text) << " " << ButtonsText(question)
           << " " << std::flush;
    if (options.answerDefaults) {
        output << AnswerWord(question.defaultAnswer) << std::endl;
        return question.defaultAnswer;
    }
    for (;;) {
        std::string line;
        if (!ReadAnswer(line))
            return question.hasCancel ? ANSWER_CANCEL : ANSWER_NO;
        if (const std::optional<int> answer = ParseAnswer(line, question))
            return *answer;
        output << (question.hasCancel ? "Please answer y, n or c: " : "Please answer y or n: ")
               << std::flush;
    }
}

void TerminalUserInterface::BeginWork(const std::string& description, std::uint64_t total) {
    // Work of unknown size cannot be told large.
    work = Work{description, total, -1, options.showProgress && total >= PROGRESS_THRESHOLD, false};
    AdvanceWork(0);
}

void TerminalUserInterface::AdvanceWork(std::uint64_t done) {
    if (!work.active)
        return;
    const int percent = static_cast<int>(std::min(done, work.total) * 100 / work.total);
    if (percent == work.shownPercent)
        return;
    work.shownPercent = percent;
    output.flush();
    errors << "\r" << TerminalText(work.description) << ": " << percent << "%\x1b[K" << std::flush;
    work.lineShown = true;
}

void TerminalUserInterface::EndWork() {
    ClearProgressLine();
    work.active = false;
}

void TerminalUserInterface::ClearProgressLine() {
    if (work.lineShown) {
        errors << "\r\x1b[K" << std::flush;
        work.lineShown = false;
        work.shownPercent = -1;
    }
}

bool TerminalUserInterface::ConvertTypedPath(const std::string& typed, std::string& windowsPath) {
    std::string message;
    if (converter(typed, windowsPath, message))
        return true;
    errors << message << std::endl;
    return false;
}

}  // namespace parvane::cli
