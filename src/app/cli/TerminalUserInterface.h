#pragma once

// The user interface of the terminal program. Message boxes are text headed by their caption,
// in UTF-8, on the message stream; questions, the forms of the dialogs and the progress line go
// to the prompt stream (the terminal), so that the result stream carries only results. A
// question reads one line; the open dialog lists the matching files of its folder, numbered,
// and reads the numbers or a path; a dialog shows the folder of its edit box and reads a new
// one. The streams are given, so that tests can drive it.

#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/UserInterface.h"

namespace parvane::cli {

// CommDlgExtendedError's FNERR_BUFFERTOOSMALL: the selection does not fit the dialog's buffer.
inline constexpr std::uint32_t FNERR_BUFFERTOOSMALL = 0x3003;
// Work smaller than this (or of unknown size) is over before a progress line would help.
inline constexpr std::uint64_t PROGRESS_THRESHOLD = 4u << 20;

struct TerminalStreams {
    std::istream& input;
    std::ostream& messages;  // message boxes and the archive each install begins: standard error
    std::ostream& prompts;   // questions, forms, the progress line: the terminal
};

// What the terminal saw of one question or dialog, for the account of an install run.
class ConversationObserver {
  public:
    virtual ~ConversationObserver() = default;
    virtual void OnTitle(const std::string& title) = 0;
    virtual void OnError(const std::string& text) = 0;
    // A question answered other than Yes (by the player, by --defaults or at the end of input).
    virtual void OnDeclined(const std::string& question) = 0;
    virtual void OnAccepted() = 0;
    // For the closing message of an archive that was not installed: the line to show instead
    // when the player declined (it was no error), else empty.
    virtual std::string DeclinedInstead() = 0;
};

struct TerminalOptions {
    // Every question takes its default button and every dialog its folder as shown, without
    // reading input; the open dialog then chooses nothing.
    bool answerDefaults = false;
    // Every question is answered Yes and every dialog keeps its folder, without reading input
    // (for scripts); the open dialog chooses nothing.
    bool answerYes = false;
    // Answers read from input are written after their prompt (the input is no terminal, so
    // nothing else shows them).
    bool echoAnswers = false;
    // Long work draws a progress line on the prompt stream (which must be a terminal).
    bool showProgress = false;
    // A Windows path of the machine as the player finds the file; none: shown as it is.
    std::function<std::string(const std::string& windowsPath)> hostPathOf = nullptr;
    // Nothing is changed (a dry run): an information box says what a real run would tell.
    bool dryRun = false;
};

// The program's single-byte text (code page 1252) as the terminal shows it, in UTF-8.
std::string TerminalText(std::string_view programText);
// An Error or Warning box of the terminal program's own, whose text (host paths, typed words)
// is UTF-8 already.
void ShowTerminalError(const std::string& text);
void ShowTerminalWarning(const std::string& text);

// A program text as the process-wide terminal shows it, each Windows path in it as the host path
// first (TerminalUserInterface::WithHostPaths); as it stands under any other user interface.
std::string ShownText(const std::string& programText);
// A Windows path of the prefix as the process-wide terminal shows it ("host path (Windows
// path)"); as it stands under any other user interface.
std::string ShownPath(const std::string& windowsPath);

// Turns a path the user typed into a Windows path of the machine; false with the message to
// show when it cannot be.
using PathConverter =
    std::function<bool(const std::string& typed, std::string& windowsPath, std::string& message)>;

class TerminalUserInterface final : public UserInterface {
  public:
    TerminalUserInterface(TerminalStreams streams, PathConverter converter,
                          TerminalOptions options);

    // Told of the questions and errors of an install run; none: nobody listens.
    void SetObserver(ConversationObserver* conversationObserver) {
        observer = conversationObserver;
    }
    // The archive (a Windows path) that the messages shown next are about: the first of them
    // is introduced by a line naming it, as an installation's title does. Empty: none.
    void IntroduceMessagesWith(const std::string& archivePath) { pendingSubject = archivePath; }
    // A text of the program with each Windows path in it (quoted, bracketed, or running to the
    // end of its line) shown as the player finds it, the Windows path after it.
    std::string WithHostPaths(const std::string& programText) const;
    // A Windows path of the prefix as "host path (Windows path)".
    std::string PathShown(const std::string& windowsPath) const;
    bool IsDryRun() const { return options.dryRun; }
    // The message boxes shown next hold the terminal's own text, paths shown already.
    void MarkOwnText(bool own) { ownText = own; }

    int ShowMessageBox(const std::string& text, const std::string& caption,
                       std::uint32_t flags) override;
    bool OpenFile(const OpenFileRequest& request, std::string& selection,
                  std::uint32_t& dialogError) override;
    // The terminal offers no folder browser: a folder is typed instead.
    bool BrowseForFolder(const std::string& instruction, std::string& folder) override;
    std::intptr_t RunDialog(int templateId, DialogProcedure& procedure) override;
    // A title that names an archive heads the messages of its installation; the program's idle
    // title is not shown.
    void ShowTitle(const std::string& title) override;
    // "<description>: <path>", the path as the player finds the file.
    void ShowWrittenFile(const std::string& description, const std::string& path) override;

    // "<heading>:" and each line indented below it.
    void ShowLines(const std::string& heading, const std::vector<std::string>& lines) override;

    void BeginWork(const std::string& description, std::uint64_t total) override;
    void AdvanceWork(std::uint64_t done) override;
    void EndWork() override;

  private:
    // One line of input without its line end and surrounding blanks; false at the end of input.
    bool ReadAnswer(std::string& line);
    int AskQuestion(const std::string& text, const std::string& caption, std::uint32_t flags);
    // The files of `folder` matching the request's patterns, sorted; false (after a message)
    // when the folder cannot be listed.
    bool ListMatchingFiles(const std::string& folder, const std::string& patterns,
                           std::vector<std::string>& names);
    // The open dialog's selection of the numbered files; none after a message when a number
    // names no file.
    std::optional<std::string> ChooseNumbered(const std::string& folder,
                                              const std::vector<std::string>& names,
                                              const std::vector<std::size_t>& numbers);
    // A typed file is the selection; a typed folder becomes the one listed (none is chosen);
    // none after a message when the path cannot be converted or does not exist.
    std::optional<std::string> ChooseTyped(const std::string& typed, std::string& folder);
    // A typed path, converted; false after a message when it cannot be.
    bool ConvertTypedPath(const std::string& typed, std::string& windowsPath);
    // The target folder dialog as a prompt for a folder; the dialog's result.
    std::intptr_t RunFolderForm(DialogProcedure& procedure);
    // The folder prompt's answer: a full path converted, or an empty line; false after a
    // message for anything else. `cancelled` for c or the end of input.
    bool ReadFolder(std::string& folder, bool& cancelled);
    // The question before installing outside the game's folder; true to go on.
    bool AcceptFolderOutsideGame(const std::string& folder);
    void ClearProgressLine();
    // Where a message box goes: into the dialog's conversation while one runs; after the line
    // naming a pending subject.
    std::ostream& MessageStream();
    // The caption of a message box, marked in a dry run where it tells what a real run would.
    std::string CaptionShown(const std::string& caption, std::uint32_t flags) const;
    // "== <archive as the player named it>".
    std::string SubjectLine(const std::string& archivePath) const;

    std::istream& input;
    std::ostream& messages;
    std::ostream& prompts;
    PathConverter converter;
    TerminalOptions options;
    ConversationObserver* observer = nullptr;
    std::string pendingSubject;
    bool ownText = false;
    bool inDialog = false;
    int declinedInDialog = 0;

    struct Work {
        std::string description;
        std::uint64_t total = 0;
        int shownPercent = -1;
        bool active = false;
        bool lineShown = false;
    } work;
};

}  // namespace parvane::cli
