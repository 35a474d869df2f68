// The terminal program's pieces: questions as text, the dialogs as forms, the paths a player
// types. Messages, echoed answers and the prefix lock are checked in parvane-e2e.sh.

#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/TerminalUserInterface.h"
#include "app/cli/TypedPaths.h"
#include "base/Messages.h"
#include "support/wine/TestPrefix.h"
#include "support/wine/WineTestMachine.h"

namespace parvane::cli {
namespace {

// "/x" stands for the host path of "Z:\x"; "/outside" is on no drive.
bool FakeConverter(const std::string& typed, std::string& windowsPath, std::string& message) {
    if (typed == "/outside") {
        message = "outside every drive";
        return false;
    }
    windowsPath = typed.starts_with('/') ? "Z:\\" + typed.substr(1) : typed;
    return true;
}

struct Terminal {
    explicit Terminal(const std::string& typed)
        : input(typed), ui(input, output, errors, FakeConverter, {}) {
        SetUserInterface(&ui);
    }
    ~Terminal() { SetUserInterface(nullptr); }

    std::istringstream input;
    std::ostringstream output;
    std::ostringstream errors;
    TerminalUserInterface ui;
};

TEST(TerminalMessages, QuestionsReadOneAnswerAndTakeTheDefaultOrCancelWhenInputEnds) {
    const struct {
        bool withCancel;
        int defaultButton;
        const char* typed;
        int answer;
        const char* shown;
    } cases[] = {
        {false, ANSWER_YES, "\n", ANSWER_YES, "Question: Go on? [Y/n] "},
        {true, ANSWER_NO, "Cancel\n", ANSWER_CANCEL, "[y/N/c] "},
        {false, ANSWER_YES, "maybe\nc\nNo\n", ANSWER_NO, "Please answer y or n: Please answer"},
        {true, ANSWER_YES, "", ANSWER_CANCEL, "[Y/n/c] \n"},
        {false, ANSWER_YES, "", ANSWER_NO, "[Y/n] \n"},
    };
    for (const auto& c : cases) {
        Terminal terminal(c.typed);
        const int answer = c.withCancel ? AskYesNoCancel(c.defaultButton, "Go on?")
                                        : AskYesNo(c.defaultButton, "Go on?");
        EXPECT_EQ(answer, c.answer) << c.typed;
        EXPECT_NE(terminal.output.str().find(c.shown), std::string::npos) << terminal.output.str();
    }
}

// OK accepts any folder but "Z:\busy", which keeps the dialog open; Cancel ends it with 0.
class FolderProcedure : public DialogProcedure {
  public:
    void OnInitDialog(DialogControls& controls) override {
        controls.SetItemText(FOLDER_EDIT, "C:\\Games");
    }
    void OnCommand(int id, int, DialogControls& controls) override {
        if (id == 2) {
            controls.EndDialog(0);
        } else if (id == 1 && controls.ItemText(FOLDER_EDIT) != "Z:\\busy") {
            accepted = controls.ItemText(FOLDER_EDIT);
            controls.EndDialog(1);
        }
    }
    std::string accepted;
};

TEST(TerminalDialog, ShowsTheFolderReadsANewOneAndPressesOkUntilTheDialogEnds) {
    const struct {
        const char* typed;
        std::intptr_t result;
        const char* accepted;
        const char* errors;
    } cases[] = {
        {"/busy\n/outside\nD:\\x\n", 1, "D:\\x", "outside every drive\n"},
        {"/busy\n", 0, "", ""},
    };
    for (const auto& c : cases) {
        Terminal terminal(c.typed);
        FolderProcedure procedure;
        EXPECT_EQ(terminal.ui.RunDialog(103, procedure), c.result) << c.typed;
        EXPECT_EQ(procedure.accepted, c.accepted) << c.typed;
        EXPECT_EQ(terminal.output.str().rfind("Folder: C:\\Games\n", 0), 0u);
        EXPECT_EQ(terminal.errors.str(), c.errors);
    }
}

TEST(TypedPaths, HostPathsBecomeWindowsPathsOfTheDriveThatHoldsThem) {
    for (const char* text : {"z:/tmp", "D:"})
        EXPECT_TRUE(IsWindowsPathText(text)) << text;
    for (const char* text : {"/tmp/a.zip", "a.zip", "1:\\x"})
        EXPECT_FALSE(IsWindowsPathText(text)) << text;

    test::TestPrefix prefix;
    std::string path;
    std::string message;
    ASSERT_TRUE(ToWindowsPath(prefix.Folder(), "c:\\Any Th\xC3\xAEng", path, message));
    EXPECT_EQ(path, "c:\\Any Th\xEEng");
    EXPECT_FALSE(ToWindowsPath(prefix.Folder(), "c:\\\xE6\x97\xA5", path, message));
    ASSERT_TRUE(
        ToWindowsPath(prefix.Folder(), (prefix.DriveC() / "x" / "a.zip").string(), path, message));
    EXPECT_EQ(path, "C:\\x\\a.zip");
    ASSERT_TRUE(ToWindowsPath(prefix.Folder(), "/usr/a.zip", path, message));
    EXPECT_EQ(path, "Z:\\usr\\a.zip");
}

}  // namespace
}  // namespace parvane::cli
