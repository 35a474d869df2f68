#include "support/ScriptedUserInterface.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

namespace parvane {

namespace {

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

std::string DescribeBox(const std::string& caption, std::uint32_t flags, const std::string& text) {
    return caption + " box (" + Hex(flags) + ") \"" + text + "\"";
}

std::uint32_t QuestionFlags(std::uint32_t buttons, DefaultButton defaultButton) {
    std::uint32_t flags = MSGBOX_TASKMODAL | MSGBOX_ICONQUESTION | buttons;
    return defaultButton == DefaultButton::No ? flags | MSGBOX_DEFBUTTON2 : flags;
}

bool TextMatches(const ExpectedText& expected, const std::string& actual) {
    return expected.partial ? actual.find(expected.text) != std::string::npos
                            : actual == expected.text;
}

}  // namespace

ExpectedText Containing(std::string part) {
    ExpectedText expected(std::move(part));
    expected.partial = true;
    return expected;
}

ScriptedDialog::ScriptedDialog(int dialogTemplateId, DialogProcedure& dialogProcedure)
    : templateId(dialogTemplateId), procedure(dialogProcedure) {}

void ScriptedDialog::Init() {
    EXPECT_FALSE(ended) << "dialog " << templateId << " initialised after it ended";
    procedure.OnInitDialog(*this);
}

void ScriptedDialog::Press(int id) {
    EXPECT_FALSE(ended) << "control " << id << " of dialog " << templateId
                        << " pressed after the dialog ended";
    if (!ended) {
        procedure.OnCommand(id, *this);
    }
}

std::string ScriptedDialog::ItemText(int id) {
    return texts[id];
}
void ScriptedDialog::SetItemText(int id, const std::string& text) {
    texts[id] = text;
}
bool ScriptedDialog::IsItemChecked(int id) {
    return checks[id];
}
void ScriptedDialog::CheckItem(int id, bool checked) {
    checks[id] = checked;
}

void ScriptedDialog::EndDialog(std::intptr_t dialogResult) {
    EXPECT_FALSE(ended) << "dialog " << templateId << " ended twice";
    ended = true;
    result = dialogResult;
}

ScriptedUserInterface::ScriptedUserInterface() {
    SetUserInterface(this);
}

ScriptedUserInterface::~ScriptedUserInterface() {
    for (const Expectation& missing : expectations) {
        switch (missing.kind) {
            case Kind::MessageBox:
                ADD_FAILURE() << "expected message box never came: "
                              << DescribeBox(missing.caption, missing.flags, missing.text.text);
                break;
            case Kind::OpenFile:
                ADD_FAILURE() << "expected open-file dialog never came";
                break;
            case Kind::BrowseForFolder:
                ADD_FAILURE() << "expected folder browser never came";
                break;
            case Kind::Dialog:
                ADD_FAILURE() << "expected dialog " << missing.templateId << " never came";
                break;
        }
    }
    SetUserInterface(nullptr);
}

ScriptedUserInterface::Expectation& ScriptedUserInterface::Expect(Kind kind) {
    Expectation& expectation = expectations.emplace_back();
    expectation.kind = kind;
    return expectation;
}

void ScriptedUserInterface::ExpectBox(std::string caption, std::uint32_t flags, ExpectedText text,
                                      int answer) {
    Expectation& box = Expect(Kind::MessageBox);
    box.caption = std::move(caption);
    box.flags = flags;
    box.text = std::move(text);
    box.answer = answer;
}

void ScriptedUserInterface::ExpectInformation(ExpectedText text, int answer) {
    ExpectBox("Information", MSGBOX_TASKMODAL | MSGBOX_ICONINFORMATION, std::move(text), answer);
}

void ScriptedUserInterface::ExpectError(ExpectedText text, int answer) {
    ExpectBox("Error", MSGBOX_TASKMODAL | MSGBOX_ICONSTOP, std::move(text), answer);
}

void ScriptedUserInterface::ExpectWarning(ExpectedText text, int answer) {
    ExpectBox("Warning", MSGBOX_TASKMODAL | MSGBOX_ICONEXCLAMATION, std::move(text), answer);
}

void ScriptedUserInterface::ExpectYesNo(DefaultButton defaultButton, ExpectedText text,
                                        int answer) {
    ExpectBox("Question", QuestionFlags(MSGBOX_YESNO, defaultButton), std::move(text), answer);
}

void ScriptedUserInterface::ExpectYesNoCancel(DefaultButton defaultButton, ExpectedText text,
                                              int answer) {
    ExpectBox("Question", QuestionFlags(MSGBOX_YESNOCANCEL, defaultButton), std::move(text),
              answer);
}

void ScriptedUserInterface::ExpectOpenFile(std::string selection) {
    Expectation& dialog = Expect(Kind::OpenFile);
    dialog.text = std::move(selection);
    dialog.answer = 1;
}

void ScriptedUserInterface::ExpectOpenFileFailure(std::uint32_t dialogError) {
    Expect(Kind::OpenFile).dialogError = dialogError;
}

void ScriptedUserInterface::ExpectBrowseForFolder(std::string folder) {
    Expectation& browser = Expect(Kind::BrowseForFolder);
    browser.text = std::move(folder);
    browser.answer = 1;
}

void ScriptedUserInterface::ExpectBrowseForFolderCancelled() {
    Expect(Kind::BrowseForFolder);
}

void ScriptedUserInterface::ExpectDialog(int templateId, DialogScript script) {
    Expectation& dialog = Expect(Kind::Dialog);
    dialog.templateId = templateId;
    dialog.script = std::move(script);
}

void ScriptedUserInterface::ExpectDialogCreationFailure(int templateId) {
    Expect(Kind::Dialog).templateId = templateId;
}

bool ScriptedUserInterface::TakeNext(Kind kind,
                                     const std::function<bool(const Expectation&)>& matches,
                                     const std::string& actual, Expectation& taken) {
    if (expectations.empty()) {
        ADD_FAILURE() << "unexpected " << actual << "\n  nothing more was expected";
        return false;
    }
    const Expectation& next = expectations.front();
    if (next.kind != kind || !matches(next)) {
        std::string wanted;
        switch (next.kind) {
            case Kind::MessageBox:
                wanted = DescribeBox(next.caption, next.flags, next.text.text);
                if (next.text.partial) {
                    wanted += " (part of the text)";
                }
                break;
            case Kind::OpenFile:
                wanted = "open-file dialog";
                break;
            case Kind::BrowseForFolder:
                wanted = "folder browser";
                break;
            case Kind::Dialog:
                wanted = "dialog " + std::to_string(next.templateId);
                break;
        }
        ADD_FAILURE() << "unexpected " << actual << "\n  expected next: " << wanted;
        return false;
    }
    taken = std::move(expectations.front());
    expectations.pop_front();
    return true;
}

int ScriptedUserInterface::ShowMessageBox(const std::string& text, const std::string& caption,
                                          std::uint32_t flags) {
    Expectation taken;
    const auto matches = [&](const Expectation& next) {
        return next.caption == caption && next.flags == flags && TextMatches(next.text, text);
    };
    if (!TakeNext(Kind::MessageBox, matches, DescribeBox(caption, flags, text), taken)) {
        return 0;
    }
    return taken.answer;
}

bool ScriptedUserInterface::OpenFile(const OpenFileRequest& request, std::string& selection,
                                     std::uint32_t& dialogError) {
    lastOpenFileRequest = request;
    Expectation taken;
    const auto any = [](const Expectation&) { return true; };
    if (!TakeNext(Kind::OpenFile, any, "open-file dialog \"" + request.title + "\"", taken)) {
        dialogError = 0;
        return false;
    }
    selection = taken.text.text;
    dialogError = taken.dialogError;
    return taken.answer == 1;
}

bool ScriptedUserInterface::BrowseForFolder(const std::string& instruction, std::string& folder) {
    lastBrowseInstruction = instruction;
    Expectation taken;
    const auto any = [](const Expectation&) { return true; };
    if (!TakeNext(Kind::BrowseForFolder, any, "folder browser \"" + instruction + "\"", taken)) {
        return false;
    }
    folder = taken.text.text;
    return taken.answer == 1;
}

std::intptr_t ScriptedUserInterface::RunDialog(int templateId, DialogProcedure& procedure) {
    Expectation taken;
    const auto matches = [&](const Expectation& next) { return next.templateId == templateId; };
    if (!TakeNext(Kind::Dialog, matches, "dialog " + std::to_string(templateId), taken)) {
        return 0;  // as if closed at once: -1 would add a second, misleading failure box
    }
    if (!taken.script) {
        return -1;
    }
    ScriptedDialog dialog(templateId, procedure);
    taken.script(dialog);
    EXPECT_TRUE(dialog.HasEnded())
        << "dialog " << templateId << " was still open when its script finished";
    return dialog.Result();
}

}  // namespace parvane
