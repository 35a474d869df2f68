// Shows one of Parvane.exe's dialog templates (the number on the command line) with sample
// content, so that the window tests can photograph every template, also those of commands that
// are not reached from the main window in the test. Any button closes it.

#include <windows.h>

#include <cstdlib>

#include "ResourceIds.h"

namespace {

struct SampleText {
    int control;
    const char* text;
};

constexpr SampleText SAMPLE_TEXTS[] = {
    {1001, "C:\\Games\\Greenvale 06\\courses\\Whispering Pines Golf Club"},
    {1011,
     "\r\n   Course name:\tWhispering Pines Golf Club\r\n   File name:\tWhispering Pines.tcr\r\n"
     "   Location:\tC:\\Games\\Greenvale 06\\courses\\Whispering Pines Golf Club\r\n"},
    {1012,
     "\r\n   Library name:\tCoastal Dunes Objects\r\n   File name:\tCoastal Dunes.tcl\r\n"
     "   Location:\tC:\\Games\\Greenvale 06\\libraries\\Coastal Dunes Objects\r\n\r\n"
     "   This library is used by 2 of the installed courses"},
    {1013,
     "The following problems were found during the analysis:\r\n\r\nCourse error: Whispering "
     "Pines Golf Club: Cannot find the referenced library Coastal Dunes Objects\r\nCourse "
     "warning: Whispering Pines Golf Club: 1 referenced library is cloaked\r\n\r\nAnalysis "
     "complete."},
};

struct SampleList {
    int control;
    const char* lines[3];
};

constexpr SampleList SAMPLE_LISTS[] = {
    {1008, {"+ Greenvale Links", "   Whispering Pines Golf Club", "   Old Mill (Cloaked)"}},
    {1007,
     {"+ Greenvale Trees", "   Whispering Pines Objects\t(3)",
      "   Coastal Dunes Objects (Cloaked) \t(2)"}},
};

void FillSamples(HWND dialog) {
    for (const SampleText& sample : SAMPLE_TEXTS) {
        SetDlgItemTextA(dialog, sample.control, sample.text);
    }
    INT tabStop = 150;
    SendDlgItemMessageA(dialog, 1007, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
    for (const SampleList& list : SAMPLE_LISTS) {
        for (const char* line : list.lines) {
            SendDlgItemMessageA(dialog, list.control, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(line));
        }
    }
    HICON icon = static_cast<HICON>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ICON_BROWSE), IMAGE_ICON, 16, 16, LR_SHARED));
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongPtrA(child, GWL_STYLE) & BS_ICON) != 0) {
            SendMessageA(child, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
        }
    }
}

INT_PTR CALLBACK ShowSample(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        FillSamples(dialog);
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const int templateId = std::atoi(commandLine);
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), nullptr, ShowSample, 0) == -1
               ? 1
               : 0;
}
