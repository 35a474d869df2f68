#include "support/ScriptedUserInterface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace parvane {

namespace {

std::string DescribeBox(const std::string& caption, std::uint32_t flags, const std::string& text) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", flags);
    return caption + " box (" + hex + ") \"" + text + "\"";
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
    EXPECT_FALSE(ended) << "button " << id << " of dialog " << templateId
                        << " pressed after the dialog ended";
    if (!ended) {
        procedure.OnCommand(id, NOTIFY_CLICKED, *this);
    }
}

void ScriptedDialog::Select(int id, const std::vector<int>& lines) {
    ListBox& list = lists[id];
    for (const int line : lines) {
        ASSERT_LT(static_cast<std::size_t>(line), list.lines.size())
            << "list " << id << " of dialog " << templateId << " has no line " << line;
        list.selected[static_cast<std::size_t>(line)] = true;
    }
    Notify(id, NOTIFY_SELECTION_CHANGED);
}

void ScriptedDialog::Notify(int id, int notification) {
    if (!ended) {
        procedure.OnCommand(id, notification, *this);
    }
}

void ScriptedDialog::AddListLine(int id, const std::string& text) {
    lists[id].lines.push_back(text);
    lists[id].selected.push_back(false);
}

std::vector<int> ScriptedDialog::SelectedListLines(int id) {
    std::vector<int> selected;
    const ListBox& list = lists[id];
    for (std::size_t line = 0; line < list.selected.size(); ++line) {
        if (list.selected[line]) {
            selected.push_back(static_cast<int>(line));
        }
    }
    return selected;
}

void ScriptedDialog::SelectListLines(int id, int first, int last, bool selected) {
    ListBox& list = lists[id];
    for (int line = std::max(first, 0);
         line <= last && static_cast<std::size_t>(line) < list.selected.size(); ++line) {
        list.selected[static_cast<std::size_t>(line)] = selected;
    }
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
        ADD_FAILURE() << "expected but never came: " << Describe(missing);
    }
    SetUserInterface(nullptr);
}

std::string ScriptedUserInterface::Describe(const Expectation& expected) {
    switch (expected.kind) {
        case Kind::MessageBox:
            return DescribeBox(expected.caption, expected.flags, expected.text.text) +
                   (expected.text.partial ? " (part of the text)" : "");
        case Kind::OpenFile:
            return "open-file dialog";
        case Kind::BrowseForFolder:
            return "folder browser";
        case Kind::Dialog:
            return "dialog " + std::to_string(expected.templateId);
    }
    return "";
}

void ScriptedUserInterface::ExpectBox(std::string caption, std::uint32_t flags, ExpectedText text,
                                      int answer) {
    expectations.push_back({.kind = Kind::MessageBox,
                            .caption = std::move(caption),
                            .flags = flags,
                            .text = std::move(text),
                            .answer = answer});
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
    expectations.push_back({.kind = Kind::OpenFile, .text = std::move(selection), .answer = 1});
}

void ScriptedUserInterface::ExpectOpenFileFailure(std::uint32_t dialogError) {
    expectations.push_back({.kind = Kind::OpenFile, .dialogError = dialogError});
}

void ScriptedUserInterface::ExpectBrowseForFolder(std::string folder) {
    const int chosen = folder.empty() ? 0 : 1;
    expectations.push_back(
        {.kind = Kind::BrowseForFolder, .text = std::move(folder), .answer = chosen});
}

void ScriptedUserInterface::ExpectDialog(int templateId, DialogScript script) {
    expectations.push_back(
        {.kind = Kind::Dialog, .templateId = templateId, .script = std::move(script)});
}

void ScriptedUserInterface::ExpectDialogCreationFailure(int templateId) {
    expectations.push_back({.kind = Kind::Dialog, .templateId = templateId});
}

std::optional<ScriptedUserInterface::Expectation> ScriptedUserInterface::TakeNext(
    Kind kind, const std::string& actual, const std::function<bool(const Expectation&)>& matches) {
    if (expectations.empty()) {
        ADD_FAILURE() << "unexpected " << actual << "\n  nothing more was expected";
        return std::nullopt;
    }
    if (expectations.front().kind != kind || (matches && !matches(expectations.front()))) {
        ADD_FAILURE() << "unexpected " << actual
                      << "\n  expected next: " << Describe(expectations.front());
        return std::nullopt;
    }
    Expectation taken = std::move(expectations.front());
    expectations.pop_front();
    return taken;
}

int ScriptedUserInterface::ShowMessageBox(const std::string& text, const std::string& caption,
                                          std::uint32_t flags) {
    const auto taken =
        TakeNext(Kind::MessageBox, DescribeBox(caption, flags, text), [&](const Expectation& next) {
            return next.caption == caption && next.flags == flags && TextMatches(next.text, text);
        });
    return taken ? taken->answer : 0;
}

bool ScriptedUserInterface::OpenFile(const OpenFileRequest& request, std::string& selection,
                                     std::uint32_t& dialogError) {
    const auto taken = TakeNext(Kind::OpenFile, "open-file dialog \"" + request.title + "\"");
    if (!taken) {
        dialogError = 0;
        return false;
    }
    selection = taken->text.text;
    dialogError = taken->dialogError;
    return taken->answer == 1;
}

bool ScriptedUserInterface::BrowseForFolder(const std::string& instruction, std::string& folder) {
    lastBrowseInstruction = instruction;
    lastBrowseStart = folder;
    const auto taken = TakeNext(Kind::BrowseForFolder, "folder browser \"" + instruction + "\"");
    if (!taken) {
        return false;
    }
    folder = taken->text.text;
    return taken->answer == 1;
}

std::intptr_t ScriptedUserInterface::RunDialog(int templateId, DialogProcedure& procedure) {
    const auto taken =
        TakeNext(Kind::Dialog, "dialog " + std::to_string(templateId),
                 [&](const Expectation& next) { return next.templateId == templateId; });
    if (!taken) {
        return 0;  // as if closed at once: -1 would add a second, misleading failure box
    }
    if (!taken->script) {
        return -1;
    }
    ScriptedDialog dialog(templateId, procedure);
    taken->script(dialog);
    EXPECT_TRUE(dialog.HasEnded())
        << "dialog " << templateId << " was still open when its script finished";
    return dialog.Result();
}

}  // namespace parvane
