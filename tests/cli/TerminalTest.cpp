// The terminal program's pieces: questions as text, paths in messages, the paths a player types.
// The folder prompt, messages, echoed answers and the prefix lock are checked in parvane-e2e.sh.

#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/HostPaths.h"
#include "app/cli/TerminalUserInterface.h"
#include "app/cli/TypedPaths.h"
#include "base/Messages.h"
#include "base/ModalDialogs.h"
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
        : input(typed), ui({input, errors, output}, FakeConverter, {}) {
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

// Only the folder prompt has a terminal form; any other dialog is refused with its message.
TEST(TerminalMessages, ADialogWithoutATerminalFormFailsWithItsMessage) {
    struct : DialogProcedure {
        void OnInitDialog(DialogControls&) override { ADD_FAILURE() << "the dialog was shown"; }
        void OnCommand(int, int, DialogControls&) override {}
    } about;
    Terminal terminal("");
    EXPECT_EQ(RunModalDialog(ABOUT_DIALOG, about), -1);
    EXPECT_NE(terminal.errors.str().find("Couldn't display 'About...' dialog box"),
              std::string::npos)
        << terminal.errors.str() << terminal.output.str();
}

TEST(TerminalMessages, EveryWindowsPathInAMessageIsShownAsTheHostPathFirst) {
    std::istringstream input;
    std::ostringstream shown;
    const TerminalUserInterface ui(
        {input, shown, shown}, FakeConverter, {.hostPathOf = [](const std::string& path) {
            return path.starts_with("C:\\") ? "/c/" + path.substr(3) : std::string();
        }});
    EXPECT_EQ(ui.WithHostPaths(
                  "In 'C:\\a b'.\nTarget path: C:\\x, y\nthe folder C:\\d\nand "
                  "anyway?\nCouldn't create folder C:\\e, return code=5\nfile. (C:\\f (x86)\\g)"),
              "In '/c/a b (C:\\a b)'.\nTarget path: /c/x, y (C:\\x, y)\nthe folder /c/d "
              "(C:\\d)\nand anyway?\nCouldn't create folder /c/e (C:\\e), return code=5\nfile. "
              "(/c/f (x86)\\g (C:\\f (x86)\\g))");
    EXPECT_EQ(ui.WithHostPaths("on no drive: 'Q:\\x', D:\\y"), "on no drive: 'Q:\\x', D:\\y");
}

// Names below a folder seen before are joined to its kept form; a link there is still followed.
TEST(HostPaths, AreShownThroughNoLinkWhetherTheirFolderWasSeenBeforeOrNot) {
    namespace fs = std::filesystem;
    test::TestPrefix prefix;
    const fs::path real = fs::weakly_canonical(prefix.DriveC()) / "real";
    fs::create_directories(real / "inner");
    fs::create_directories(real / "elsewhere");
    fs::create_directory_symlink(real, prefix.DriveC() / "link");
    HostPathNames names(prefix.Folder());
    EXPECT_EQ(names.Of("C:\\link\\inner"), (real / "inner").string());
    fs::create_directory_symlink(real / "elsewhere", real / "later");
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(names.Of("C:\\link\\inner"), (real / "inner").string());
        EXPECT_EQ(names.Of("C:\\link\\later"), (real / "elsewhere").string());
        EXPECT_EQ(names.Of("C:\\link\\missing"), (real / "missing").string());
        EXPECT_EQ(names.Of("C:\\link\\no\\such"), (real / "no" / "such").string());
    }
    EXPECT_EQ(names.Of("Q:\\x"), "");
}

// A name in a folder shown before is asked of the host by its spelling alone, or found in the
// folder's listing once it has been asked about often; what it shows must still be what its
// whole path's resolution gives.
TEST(HostPaths, NamesInAFolderShownBeforeAreShownAsTheirWholePathResolves) {
    namespace fs = std::filesystem;
    test::TestPrefix prefix;
    const fs::path folder = fs::weakly_canonical(prefix.DriveC()) / "Courses";
    for (const char* name : {"Case", "Dot", "Dot.", "Dot ", "elsewhere", "na|me"}) {
        fs::create_directories(folder / name);
    }
    fs::create_directory_symlink(folder / "elsewhere", folder / "link");
    HostPathNames names(prefix.Folder());
    EXPECT_EQ(names.Of("C:\\Courses\\Dot"), (folder / "Dot").string());
    const std::pair<const char*, fs::path> cases[] = {
        {"C:\\Courses\\CASE", folder / "Case"},
        {"C:\\Courses\\link", folder / "elsewhere"},
        {"C:\\Courses\\Dot.", folder / "Dot"},
        {"C:\\Courses\\Dot ", folder / "Dot"},
        {"C:\\Courses\\missing", folder / "missing"},
        {"C:\\Courses\\na|me", fs::path()},  // a name Windows refuses: no host path
    };
    for (int pass = 0; pass < 8; ++pass) {
        for (const auto& [windowsPath, shown] : cases) {
            EXPECT_EQ(names.Of(windowsPath), shown.string()) << windowsPath << " pass " << pass;
        }
    }
}

TEST(TypedPaths, HostPathsBecomeWindowsPathsOfTheDriveThatHoldsThem) {
    for (const char* text : {"z:/tmp", "D:"})
        EXPECT_TRUE(IsWindowsPathText(text)) << text;
    for (const char* text : {"/tmp/a.zip", "a.zip", "1:\\x"})
        EXPECT_FALSE(IsWindowsPathText(text)) << text;
    // What a folder prompt takes: a path that names one place whatever the current folder.
    for (const char* text : {"/srv", "~", "~/Games", "c:\\", "D:/x"})
        EXPECT_TRUE(IsFullPathText(text)) << text;
    for (const char* text : {"y", "c", "C:", "C:x", "~x", "./a"})
        EXPECT_FALSE(IsFullPathText(text)) << text;

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
