#pragma once

// The tests' user interface while it lives: a test lists, in order, every message box and dialog
// it expects with its answer (a dialog, a script that drives it). Any other one fails the test,
// and so does an expected one that never came.

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

// The whole text of a box, or a part of it (Containing).
struct ExpectedText {
    ExpectedText(const char* whole) : text(whole) {}
    ExpectedText(std::string whole) : text(std::move(whole)) {}
    std::string text;
    bool partial = false;
};
ExpectedText Containing(std::string part);

enum class DefaultButton { Yes, No };

class ScriptedDialog : public DialogControls {
  public:
    ScriptedDialog(int templateId, DialogProcedure& procedure);

    void Init();                                         // WM_INITDIALOG
    void Press(int id);                                  // a button (Enter = 1, Esc = 2)
    void Select(int id, const std::vector<int>& lines);  // as Ctrl+click
    void Notify(int id, int notification);               // a control's notification

    bool HasEnded() const { return ended; }
    std::intptr_t Result() const { return result; }

    std::string ItemText(int id) override { return texts[id]; }
    void SetItemText(int id, const std::string& text) override { texts[id] = text; }
    bool IsItemChecked(int id) override { return checks[id]; }
    void CheckItem(int id, bool checked) override { checks[id] = checked; }
    void EndDialog(std::intptr_t dialogResult) override;
    void EnableItem(int id, bool enabled) override { disabled[id] = !enabled; }
    bool IsItemEnabled(int id) { return !disabled[id]; }

    const std::vector<std::string>& ListLines(int id) { return lists[id].lines; }
    void ClearList(int id) override { lists[id] = {}; }
    void AddListLine(int id, const std::string& text) override;
    std::vector<int> SelectedListLines(int id) override;
    void SelectListLines(int id, int first, int last, bool selected) override;
    void SetListTabStops(int, const std::vector<int>&) override {}

  private:
    struct ListBox {
        std::vector<std::string> lines;
        std::vector<bool> selected;
    };

    int templateId;
    DialogProcedure& procedure;
    std::map<int, std::string> texts;
    std::map<int, bool> checks;
    std::map<int, bool> disabled;
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

    // Several files: folder, NUL, names, NUL, NUL.
    void ExpectOpenFile(std::string selection);
    // Cancelled (0) or failed with CommDlgExtendedError's code.
    void ExpectOpenFileFailure(std::uint32_t dialogError = 0);
    void ExpectBrowseForFolder(std::string folder);  // empty: cancelled
    // The dialog must have ended when the script returns.
    void ExpectDialog(int templateId, DialogScript script);
    void ExpectDialogCreationFailure(int templateId);

    const std::string& LastBrowseInstruction() const { return lastBrowseInstruction; }
    const std::string& LastBrowseStart() const { return lastBrowseStart; }  // the folder given
    const std::vector<std::string>& Titles() const { return titles; }       // in order shown

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
    // The next expectation if it is of `kind` and `matches`; else fails the test.
    std::optional<Expectation> TakeNext(
        Kind kind, const std::string& actual,
        const std::function<bool(const Expectation&)>& matches = nullptr);

    std::deque<Expectation> expectations;
    std::string lastBrowseInstruction;
    std::string lastBrowseStart;
    std::vector<std::string> titles;
};

}  // namespace parvane
