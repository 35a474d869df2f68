#pragma once

// The tests' user interface, installed for its lifetime. A test lists, in order, every message
// box and dialog it expects, with the answer to each (a dialog gets a script that drives it). A
// box or dialog that was not expected next fails the test, and so does an expected one that
// never came (checked at destruction).

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/UserInterface.h"
#include "platform/Win32Codes.h"

namespace parvane {

// The text a box must show: the whole text, or a distinctive part of it (Containing).
struct ExpectedText {
    ExpectedText(const char* whole) : text(whole) {}
    ExpectedText(std::string whole) : text(std::move(whole)) {}
    std::string text;
    bool partial = false;
};
ExpectedText Containing(std::string part);

enum class DefaultButton { Yes, No };

// A running dialog as the test drives it: its controls, plus the user's actions.
class ScriptedDialog : public DialogControls {
  public:
    ScriptedDialog(int templateId, DialogProcedure& procedure);

    // WM_INITDIALOG.
    void Init();
    // The user presses a button (or Enter = 1, Esc = 2): a WM_COMMAND from `id`.
    void Press(int id);
    // A list box notifies its dialog (NOTIFY_DOUBLE_CLICKED, NOTIFY_SELECTION_CANCELLED).
    void Notify(int id, int notification);
    // The user selects lines of a list, as a click with Ctrl held would.
    void Select(int id, const std::vector<int>& lines);

    bool HasEnded() const { return ended; }
    std::intptr_t Result() const { return result; }

    // The controls; the test types with SetItemText and clicks boxes with CheckItem.
    std::string ItemText(int id) override { return texts[id]; }
    void SetItemText(int id, const std::string& text) override { texts[id] = text; }
    bool IsItemChecked(int id) override { return checks[id]; }
    void CheckItem(int id, bool checked) override { checks[id] = checked; }
    void EndDialog(std::intptr_t dialogResult) override;

    // The lines of a list box as the dialog filled it.
    const std::vector<std::string>& ListLines(int id) { return lists[id].lines; }
    const std::vector<int>& ListTabStops(int id) { return lists[id].tabStops; }
    void ClearList(int id) override { lists[id] = {}; }
    void AddListLine(int id, const std::string& text) override;
    std::vector<int> SelectedListLines(int id) override;
    void SelectListLines(int id, int first, int last, bool selected) override;
    void SetListTabStops(int id, const std::vector<int>& stops) override {
        lists[id].tabStops = stops;
    }

  private:
    struct ListBox {
        std::vector<std::string> lines;
        std::vector<bool> selected;
        std::vector<int> tabStops;
    };

    int templateId;
    DialogProcedure& procedure;
    std::map<int, std::string> texts;
    std::map<int, bool> checks;
    std::map<int, ListBox> lists;
    bool ended = false;
    std::intptr_t result = 0;
};

using DialogScript = std::function<void(ScriptedDialog&)>;

class ScriptedUserInterface : public UserInterface {
  public:
    ScriptedUserInterface();
    ~ScriptedUserInterface() override;
    ScriptedUserInterface(const ScriptedUserInterface&) = delete;
    ScriptedUserInterface& operator=(const ScriptedUserInterface&) = delete;

    // `answer` 0 makes the box fail to show.
    void ExpectInformation(ExpectedText text, int answer = ANSWER_OK);
    void ExpectError(ExpectedText text, int answer = ANSWER_OK);
    void ExpectWarning(ExpectedText text, int answer = ANSWER_OK);
    void ExpectYesNo(DefaultButton defaultButton, ExpectedText text, int answer);
    void ExpectYesNoCancel(DefaultButton defaultButton, ExpectedText text, int answer);

    // The open-file dialog returns `selection` (several files: folder, NUL, names, NUL, NUL).
    void ExpectOpenFile(std::string selection);
    // The open-file dialog is cancelled (0) or fails with CommDlgExtendedError's code.
    void ExpectOpenFileFailure(std::uint32_t dialogError = 0);
    void ExpectBrowseForFolder(std::string folder);
    void ExpectBrowseForFolderCancelled();
    // Dialog `templateId` comes up and `script` drives it; the dialog must have ended when the
    // script returns.
    void ExpectDialog(int templateId, DialogScript script);
    // Dialog `templateId` cannot be created (-1).
    void ExpectDialogCreationFailure(int templateId);

    // What the program passed to the last open-file dialog and folder browser.
    const OpenFileRequest& LastOpenFileRequest() const { return lastOpenFileRequest; }
    const std::string& LastBrowseInstruction() const { return lastBrowseInstruction; }
    // Every window title the program showed, in order.
    const std::vector<std::string>& Titles() const { return titles; }

    int ShowMessageBox(const std::string& text, const std::string& caption,
                       std::uint32_t flags) override;
    bool OpenFile(const OpenFileRequest& request, std::string& selection,
                  std::uint32_t& dialogError) override;
    bool BrowseForFolder(const std::string& instruction, std::string& folder) override;
    std::intptr_t RunDialog(int templateId, DialogProcedure& procedure) override;
    void ShowTitle(const std::string& title) override { titles.push_back(title); }

  private:
    enum class Kind { MessageBox, OpenFile, BrowseForFolder, Dialog };
    struct Expectation {
        Kind kind = Kind::MessageBox;
        std::string caption{};  // message box
        std::uint32_t flags = 0;
        ExpectedText text{""};  // message box text; chosen file or folder
        int answer = 0;         // message box answer; 1 chosen, 0 cancelled or failed
        std::uint32_t dialogError = 0;
        int templateId = 0;
        DialogScript script{};  // empty: the dialog cannot be created
    };

    static std::string Describe(const Expectation& expected);
    void ExpectBox(std::string caption, std::uint32_t flags, ExpectedText text, int answer);
    // Takes the next expectation when it is of `kind` and `matches` (if given); otherwise
    // fails the test, describing `actual` against what was expected, and returns nothing.
    std::optional<Expectation> TakeNext(
        Kind kind, const std::string& actual,
        const std::function<bool(const Expectation&)>& matches = nullptr);

    std::deque<Expectation> expectations;
    OpenFileRequest lastOpenFileRequest;
    std::string lastBrowseInstruction;
    std::vector<std::string> titles;
};

}  // namespace parvane
