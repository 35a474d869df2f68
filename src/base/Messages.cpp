#include "base/Messages.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

namespace parvane {

namespace {

constexpr std::uint32_t INFORMATION_FLAGS = MSGBOX_TASKMODAL | MSGBOX_ICONINFORMATION;  // 0x2040
constexpr std::uint32_t ERROR_FLAGS = MSGBOX_TASKMODAL | MSGBOX_ICONSTOP;               // 0x2010
constexpr std::uint32_t WARNING_FLAGS = MSGBOX_TASKMODAL | MSGBOX_ICONEXCLAMATION;      // 0x2030
constexpr std::uint32_t YES_NO_FLAGS = MSGBOX_TASKMODAL | MSGBOX_ICONQUESTION | MSGBOX_YESNO;
constexpr std::uint32_t YES_NO_CANCEL_FLAGS =
    MSGBOX_TASKMODAL | MSGBOX_ICONQUESTION | MSGBOX_YESNOCANCEL;

thread_local ExchangeObserver exchangeObserver;

void Tell(ExchangeKind kind, const std::string& text, std::intptr_t answer, int templateId = 0) {
    if (exchangeObserver) {
        exchangeObserver(Exchange{kind, text, answer, templateId});
    }
}

ExchangeKind BoxKind(const char* caption) {
    const std::string name = caption;
    return name == "Error"     ? ExchangeKind::Error
           : name == "Warning" ? ExchangeKind::Warning
                               : ExchangeKind::Information;
}

// The whole formatted text: a message is never cut to fit a buffer. False when the format
// cannot be applied (an encoding error in the arguments).
bool FormatText(const char* format, std::va_list arguments, std::string& text) {
    std::va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length < 0) {
        return false;
    }
    text.assign(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, arguments);
    text.resize(static_cast<std::size_t>(length));
    return true;
}

// Shows an OK box; 1 when it was shown.
int ShowOkBox(const char* caption, std::uint32_t flags, const char* format,
              std::va_list arguments) {
    std::string text;
    if (!FormatText(format, arguments, text)) {
        return 0;
    }
    const int shown = TheUserInterface().ShowMessageBox(text, caption, flags) != 0 ? 1 : 0;
    Tell(BoxKind(caption), text, shown);
    return shown;
}

// Shows a Question box; the button pressed, or the box's failure value 0.
int AskQuestion(std::uint32_t flags, int defaultButton, const char* format,
                std::va_list arguments) {
    std::string text;
    if (!FormatText(format, arguments, text)) {
        return 0;
    }
    if (defaultButton != ANSWER_YES) {
        flags |= MSGBOX_DEFBUTTON2;
    }
    const int answer = TheUserInterface().ShowMessageBox(text, "Question", flags);
    Tell(ExchangeKind::Question, text, answer);
    return answer;
}

}  // namespace

int ShowInformation(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    const int shown = ShowOkBox("Information", INFORMATION_FLAGS, format, arguments);
    va_end(arguments);
    return shown;
}

int ShowError(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    const int shown = ShowOkBox("Error", ERROR_FLAGS, format, arguments);
    va_end(arguments);
    return shown;
}

int ShowWarning(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    const int shown = ShowOkBox("Warning", WARNING_FLAGS, format, arguments);
    va_end(arguments);
    return shown;
}

int AskYesNo(int defaultButton, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    const int answer = AskQuestion(YES_NO_FLAGS, defaultButton, format, arguments);
    va_end(arguments);
    return answer;
}

int AskYesNoCancel(int defaultButton, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    const int answer = AskQuestion(YES_NO_CANCEL_FLAGS, defaultButton, format, arguments);
    va_end(arguments);
    return answer;
}

std::intptr_t RunModalDialog(int templateId, DialogProcedure& procedure,
                             const char* failureMessage) {
    const std::intptr_t result = TheUserInterface().RunDialog(templateId, procedure);
    Tell(ExchangeKind::Dialog, "", result, templateId);
    if (result == -1) {
        ShowError("%s", failureMessage);
    }
    return result;
}

void ObserveExchanges(ExchangeObserver observer) {
    exchangeObserver = std::move(observer);
}

void ShowSubject(const std::string& subject) {
    TheUserInterface().ShowSubject(subject);
    Tell(ExchangeKind::Subject, subject, 0);
}

}  // namespace parvane
