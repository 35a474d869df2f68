// The program's own dialogs: one dialog procedure for every template, which lends the Win32
// controls to the core's DialogProcedure and passes it the dialog's commands.

#include <string>

#include "app/win32/Win32UserInterface.h"

namespace parvane::win32 {

namespace {

class Win32DialogControls final : public DialogControls {
  public:
    explicit Win32DialogControls(HWND dialogWindow) : dialog(dialogWindow) {}

    std::string ItemText(int id) override {
        const int length = GetWindowTextLengthA(GetDlgItem(dialog, id));
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        const UINT copied = GetDlgItemTextA(dialog, id, text.data(), length + 1);
        text.resize(copied);
        return text;
    }
    void SetItemText(int id, const std::string& text) override {
        SetDlgItemTextA(dialog, id, text.c_str());
    }
    bool IsItemChecked(int id) override { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
    void CheckItem(int id, bool checked) override {
        CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
    }
    void EndDialog(std::intptr_t result) override { ::EndDialog(dialog, result); }
    void EnableItem(int id, bool enabled) override {
        HWND item = GetDlgItem(dialog, id);
        // A control greyed while it has the focus would leave the keyboard nowhere.
        if (!enabled && GetFocus() == item) {
            SendMessageA(dialog, WM_NEXTDLGCTL, 0, FALSE);
        }
        EnableWindow(item, enabled ? TRUE : FALSE);
    }

    void ClearList(int id) override { SendDlgItemMessageA(dialog, id, LB_RESETCONTENT, 0, 0); }
    void AddListLine(int id, const std::string& text) override {
        SendDlgItemMessageA(dialog, id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    std::vector<int> SelectedListLines(int id) override {
        const LRESULT count = SendDlgItemMessageA(dialog, id, LB_GETSELCOUNT, 0, 0);
        if (count <= 0) {
            return {};
        }
        std::vector<int> lines(static_cast<std::size_t>(count));
        const LRESULT filled = SendDlgItemMessageA(dialog, id, LB_GETSELITEMS, lines.size(),
                                                   reinterpret_cast<LPARAM>(lines.data()));
        lines.resize(filled > 0 ? static_cast<std::size_t>(filled) : 0);
        return lines;
    }
    void SelectListLines(int id, int first, int last, bool selected) override {
        if (last < first) {
            return;  // an empty range, as for an empty list
        }
        if (first == last) {
            SendDlgItemMessageA(dialog, id, LB_SETSEL, selected, first);
            return;
        }
        // The extended message takes 32-bit line numbers (lists may hold more than 65535
        // lines); it deselects when the first line is given after the last.
        SendDlgItemMessageA(dialog, id, LB_SELITEMRANGEEX, selected ? first : last,
                            selected ? last : first);
    }
    void SetListTabStops(int id, const std::vector<int>& stops) override {
        std::vector<INT> tabStops(stops.begin(), stops.end());
        SendDlgItemMessageA(dialog, id, LB_SETTABSTOPS, tabStops.size(),
                            reinterpret_cast<LPARAM>(tabStops.data()));
    }

  private:
    HWND dialog;
};

// What a running dialog's procedure needs, handed over with WM_INITDIALOG.
struct RunningDialog {
    Win32UserInterface* userInterface;
    DialogProcedure* procedure;
};

// Every button drawn with an icon (BS_ICON) shows the browse icon, and so does a "Browse..."
// button beside its text (the target folder dialog).
void SetButtonIcons(HWND dialog, HICON icon) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = {};
        GetClassNameA(child, className, sizeof className);
        char text[16] = {};
        GetWindowTextA(child, text, sizeof text);
        const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        const bool isBrowseButton = (style & BS_ICON) != 0 || lstrcmpA(text, "Browse...") == 0;
        if (lstrcmpiA(className, "Button") == 0 && isBrowseButton) {
            SendMessageA(child, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
        }
    }
}

INT_PTR CALLBACK DialogBridge(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    }
    auto* running = reinterpret_cast<RunningDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (running == nullptr) {
        return FALSE;  // messages that come before WM_INITDIALOG
    }
    Win32DialogControls controls(dialog);
    switch (message) {
        case WM_INITDIALOG:
            running->userInterface->DialogOpened(dialog);
            SetButtonIcons(dialog, running->userInterface->BrowseIcon());
            running->procedure->OnInitDialog(controls);
            return TRUE;
        case WM_COMMAND:
            running->procedure->OnCommand(LOWORD(wParam), HIWORD(wParam), controls);
            return TRUE;
        case WM_VKEYTOITEM:
            // From a list that hands its keys over: Del is the dialog's, the rest the list's
            // own (-1); the answer goes back as it is, not through DWLP_MSGRESULT.
            if (LOWORD(wParam) == VK_DELETE) {
                running->procedure->OnCommand(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)),
                                              NOTIFY_DELETE_PRESSED, controls);
                return -2;
            }
            return -1;
        case WM_DESTROY:
            running->userInterface->DialogClosed();
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

std::intptr_t Win32UserInterface::RunDialog(int templateId, DialogProcedure& procedure) {
    RunningDialog running{this, &procedure};
    std::intptr_t result = -1;
    HandOver([&] {
        result = DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), Owner(), DialogBridge,
                                 reinterpret_cast<LPARAM>(&running));
    });
    return result;
}

}  // namespace parvane::win32
