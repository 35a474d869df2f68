// The open dialog and the program's dialogs, as forms in the terminal.

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "app/cli/TerminalUserInterface.h"
#include "app/cli/TypedPaths.h"
#include "base/GameFolders.h"
#include "base/Messages.h"
#include "base/PathText.h"
#include "base/StopRequest.h"
#include "platform/AsciiCase.h"
#include "platform/Machine.h"
#include "platform/ResourceIds.h"

namespace parvane::cli {

namespace {

// A dialog's controls, kept as values; the terminal shows the folder edit box only.
class TerminalDialog final : public DialogControls {
  public:
    std::string ItemText(int id) override { return texts[id]; }
    void SetItemText(int id, const std::string& text) override { texts[id] = text; }
    bool IsItemChecked(int id) override { return checks[id]; }
    void CheckItem(int id, bool checked) override { checks[id] = checked; }
    void EndDialog(std::intptr_t dialogResult) override {
        ended = true;
        result = dialogResult;
    }
    void ClearList(int id) override { lists[id].clear(); }
    void AddListLine(int id, const std::string& text) override { lists[id].push_back(text); }
    std::vector<int> SelectedListLines(int id) override {
        return {selected[id].begin(), selected[id].end()};
    }
    void SelectListLines(int id, int first, int last, bool select) override {
        for (int line = first; line <= last; ++line) {
            if (select) {
                selected[id].insert(line);
            } else {
                selected[id].erase(line);
            }
        }
    }
    void SetListTabStops(int, const std::vector<int>&) override {}

    bool ended = false;
    std::intptr_t result = 0;

  private:
    std::map<int, std::string> texts;
    std::map<int, bool> checks;
    std::map<int, std::vector<std::string>> lists;
    std::map<int, std::set<int>> selected;
};

// "1 3", "2,4": the numbers; none when the text holds anything but digits, blanks and commas.
std::optional<std::vector<std::size_t>> ParseNumbers(const std::string& text) {
    if (text.find_first_not_of("0123456789 ,") != std::string::npos) {
        return std::nullopt;
    }
    std::vector<std::size_t> numbers;
    std::size_t position = 0;
    while ((position = text.find_first_of("0123456789", position)) != std::string::npos) {
        const std::size_t end =
            std::min(text.find_first_not_of("0123456789", position), text.size());
        numbers.push_back(
            std::stoul(text.substr(position, std::min<std::size_t>(end - position, 9))));
        position = end;
    }
    return numbers;
}

// GetOpenFileNameA's result: one file as its path; several as the folder, NUL, each name,
// NUL, and a final NUL. None when nothing was chosen.
std::optional<std::string> SelectionOf(const std::string& folder,
                                       const std::vector<std::string>& names) {
    if (names.empty()) {
        return std::nullopt;
    }
    if (names.size() == 1) {
        return JoinPath(folder, names.front());
    }
    std::string selection = folder;
    for (const std::string& name : names) {
        selection += '\0' + name;
    }
    return selection + std::string(2, '\0');
}

}  // namespace

bool TerminalUserInterface::ListMatchingFiles(const std::string& folder,
                                              const std::string& patterns,
                                              std::vector<std::string>& names) {
    names.clear();
    std::size_t start = 0;
    while (start <= patterns.size()) {
        const std::size_t end = std::min(patterns.find(';', start), patterns.size());
        std::vector<FolderEntry> entries;
        const Win32Error error =
            TheMachine().ListFolder(JoinPath(folder, patterns.substr(start, end - start)), entries);
        if (error != ERR_SUCCESS && error != ERR_FILE_NOT_FOUND) {
            prompts << "The folder '" << PathShown(folder) << "' cannot be listed (error " << error
                    << ")." << std::endl;
            return false;
        }
        for (const FolderEntry& entry : entries) {
            if ((entry.attributes & ATTR_DIRECTORY) == 0) {
                names.push_back(entry.name);
            }
        }
        start = end + 1;
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
    names.erase(
        std::unique(names.begin(), names.end(),
                    [](const std::string& a, const std::string& b) { return EqualsNoCase(a, b); }),
        names.end());
    return true;
}

bool TerminalUserInterface::OpenFile(const OpenFileRequest& request, std::string& selection,
                                     std::uint32_t& dialogError) {
    dialogError = 0;
    std::string folder = request.initialFolder;
    std::optional<std::string> chosen;
    while (!chosen) {
        std::vector<std::string> names;
        messages.flush();
        prompts << TerminalText(request.title) << ": " << TerminalText(request.filterDescription)
                << " in " << PathShown(folder) << std::endl;
        if (ListMatchingFiles(folder, request.filterPattern, names)) {
            const std::size_t width = std::to_string(names.size()).size();
            for (std::size_t i = 0; i < names.size(); ++i) {
                const std::string number = std::to_string(i + 1);
                prompts << std::string(2 + width - number.size(), ' ') << number << "  "
                        << TerminalText(names[i]) << "\n";
            }
            if (names.empty()) {
                prompts << "  (none)\n";
            }
        }
        if (options.answerDefaults || options.answerYes) {
            prompts << "No file is chosen without an answer." << std::endl;
            return false;
        }
        prompts << "Numbers to open (e.g. 1 3), a file or folder path, or an empty line to "
                   "cancel: "
                << std::flush;
        std::string line;
        if (!ReadAnswer(line) || line.empty()) {
            return false;
        }
        if (const auto numbers = ParseNumbers(line)) {
            chosen = ChooseNumbered(folder, names, *numbers);
        } else {
            chosen = ChooseTyped(line, folder);
        }
    }
    if (chosen->size() >= request.bufferSize) {
        dialogError = FNERR_BUFFERTOOSMALL;
        return false;
    }
    selection = *chosen;
    return true;
}

std::optional<std::string> TerminalUserInterface::ChooseNumbered(
    const std::string& folder, const std::vector<std::string>& names,
    const std::vector<std::size_t>& numbers) {
    std::vector<std::string> chosen;
    for (const std::size_t number : numbers) {
        if (number == 0 || number > names.size()) {
            prompts << "There is no file numbered " << number << "." << std::endl;
            return std::nullopt;
        }
        chosen.push_back(names[number - 1]);
    }
    return SelectionOf(folder, chosen);
}

std::optional<std::string> TerminalUserInterface::ChooseTyped(const std::string& typed,
                                                              std::string& folder) {
    std::string path;
    std::uint32_t attributes = ATTR_INVALID;
    if (!ConvertTypedPath(typed, path)) {
        return std::nullopt;
    }
    if (TheMachine().GetAttributes(path, attributes) != ERR_SUCCESS) {
        prompts << "'" << typed << "' does not exist." << std::endl;
        return std::nullopt;
    }
    // The names as the file system spells them, with backslashes.
    std::string longPath;
    if (TheMachine().LongPathName(path, longPath) == ERR_SUCCESS) {
        path = longPath;
    }
    if ((attributes & ATTR_DIRECTORY) != 0) {
        folder = path;
        return std::nullopt;
    }
    return path;
}

bool TerminalUserInterface::BrowseForFolder(const std::string&, std::string&) {
    return false;
}

bool TerminalUserInterface::ReadFolder(std::string& folder, bool& cancelled) {
    std::string line;
    folder.clear();
    cancelled = !ReadAnswer(line) || EqualsNoCase(line, "c") || EqualsNoCase(line, "cancel");
    if (cancelled || line.empty()) {
        return !cancelled;
    }
    if (!IsFullPathText(line)) {
        prompts << "'" << line
                << "' is not a full path. Type one that starts with / or ~/ (a folder of this "
                   "system) or with a drive letter (C:\\...), or c to cancel this archive."
                << std::endl;
        return false;
    }
    return ConvertTypedPath(line, folder);
}

namespace {

// The folder need not exist yet, so its text is compared: inside the game's folder, through no
// "." or "..".
bool IsInsideGameFolder(const std::string& game, const std::string& folder) {
    const std::string_view root = WithoutTrailingSeparators(game);
    return !root.empty() && !HasDotComponent(folder) && folder.size() > root.size() + 1 &&
           StartsWithNoCase(folder, root) && (folder[root.size()] == '\\');
}

}  // namespace

bool TerminalUserInterface::AcceptFolderOutsideGame(const std::string& folder) {
    const std::string game = GetGameInstallDir();
    if (IsInsideGameFolder(game, folder)) {
        return true;
    }
    return AskYesNo(ANSWER_NO,
                    "The folder '%s' lies outside the game's folder '%s'.\nParvane will not "
                    "uninstall anything from there: you would have to remove it yourself.\n\n"
                    "Do you want to install into this folder anyway?",
                    folder.c_str(), game.c_str()) == ANSWER_YES;
}

// The folder prompt is the one dialog the terminal has a form for: the others belong to the
// window's commands, which the terminal program offers as commands of its own. Any other
// template fails as a dialog that cannot be created fails, with its message.
std::intptr_t TerminalUserInterface::RunDialog(int templateId, DialogProcedure& procedure) {
    switch (templateId) {
        case DIALOG_TARGET_FOLDER:
            return RunFolderForm(procedure);
        default:
            return -1;
    }
}

// The folder is shown and a full path, an empty line (keep it) or c (cancel) read until the
// dialog ends. Nothing can keep it open for ever: the end of input, a stop request, the same
// folder refused twice or two questions declined end it as cancelled.
std::intptr_t TerminalUserInterface::RunFolderForm(DialogProcedure& procedure) {
    TerminalDialog dialog;
    procedure.OnInitDialog(dialog);
    const bool answered = options.answerDefaults || options.answerYes;
    inDialog = true;
    declinedInDialog = 0;
    std::string refused;
    bool cancelled = false;
    while (!dialog.ended && !cancelled && !IsStopRequested() && declinedInDialog < 2) {
        messages.flush();
        prompts << "Folder: " << PathShown(dialog.ItemText(TARGET_FOLDER_EDIT)) << std::endl;
        std::string folder;
        if (!answered) {
            prompts << "New folder (a full path; an empty line keeps it; c cancels this "
                       "archive): "
                    << std::flush;
            if (!ReadFolder(folder, cancelled)) {
                continue;
            }
        }
        const std::string chosen = folder.empty() ? dialog.ItemText(TARGET_FOLDER_EDIT) : folder;
        if (AcceptFolderOutsideGame(chosen)) {
            dialog.SetItemText(TARGET_FOLDER_EDIT, chosen);
            procedure.OnCommand(TARGET_FOLDER_OK_BUTTON, NOTIFY_CLICKED, dialog);
        }
        cancelled = answered || (!dialog.ended && EqualsNoCase(chosen, refused));
        refused = chosen;
    }
    inDialog = false;
    if (!dialog.ended) {
        prompts << "The installation of this archive is cancelled." << std::endl;
        if (observer != nullptr) {
            observer->OnDeclined("the installation folder");
        }
        procedure.OnCommand(TARGET_FOLDER_CANCEL_BUTTON, NOTIFY_CLICKED, dialog);
    }
    return dialog.ended ? dialog.result : TARGET_FOLDER_CANCEL_BUTTON;
}

}  // namespace parvane::cli
