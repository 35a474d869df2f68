#pragma once

// The five kinds of message box through which every message of the program is shown, and the
// way every modal dialog is started. Texts are printf formats with their arguments.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/UserInterface.h"
#include "platform/Win32Codes.h"

namespace parvane {

// MinGW's libstdc++ selects MinGW's own C99 printf family (%zu and the like), whose formats
// GCC checks as gnu_printf; plain printf there means the Microsoft runtime's.
#if defined(__MINGW32__)
#define PARVANE_PRINTF(formatIndex, firstArgument) \
    __attribute__((format(gnu_printf, formatIndex, firstArgument)))
#elif defined(__GNUC__)
#define PARVANE_PRINTF(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define PARVANE_PRINTF(formatIndex, firstArgument)
#endif

// Return 1 when the box was shown, 0 when it could not be.
int ShowInformation(const char* format, ...) PARVANE_PRINTF(1, 2);
int ShowError(const char* format, ...) PARVANE_PRINTF(1, 2);
int ShowWarning(const char* format, ...) PARVANE_PRINTF(1, 2);

// Return the button pressed (ANSWER_YES, ANSWER_NO, ANSWER_CANCEL). Yes is the default button
// when `defaultButton` is ANSWER_YES, No otherwise.
int AskYesNo(int defaultButton, const char* format, ...) PARVANE_PRINTF(2, 3);
int AskYesNoCancel(int defaultButton, const char* format, ...) PARVANE_PRINTF(2, 3);

// Runs dialog `templateId` modally; when it cannot be created, shows `failureMessage` in an
// Error box. Returns the value the dialog ended with, -1 when it could not be created.
std::intptr_t RunModalDialog(int templateId, DialogProcedure& procedure,
                             const char* failureMessage);

// What the player was shown or asked, and what the work turned to, as an account of a run
// takes it in.
enum class ExchangeKind { Information, Error, Warning, Question, Dialog, Subject };
struct Exchange {
    ExchangeKind kind;
    std::string text;      // a box's text, a subject's name
    std::intptr_t answer;  // the button pressed, the value a dialog ended with
    int templateId;        // a dialog's template
};
using ExchangeObserver = std::function<void(const Exchange&)>;
// Watches the exchanges of the calling thread (long work runs on a thread of its own); an
// empty observer stops watching.
void ObserveExchanges(ExchangeObserver observer);

// Names what the work turns to now (an archive, a library of a package, an entry being
// removed): shown with the progress, and told to the observer.
void ShowSubject(const std::string& subject);

}  // namespace parvane
